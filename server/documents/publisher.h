#pragma once

#include "documents/documentset.h"

#include <QString>
#include <QStringList>

// Writes documents as plain files under a folder, each at its path, for any static web server
// to serve. Each file is replaced at once (written aside, then renamed), so a reader never sees
// half a document.
class Publisher
{
public:
    explicit Publisher(QString folder);

    // Writes the given paths of `documents`; returns an empty text or what went wrong.
    QString write(const DocumentSet &documents, const QStringList &paths) const;
    QString writeAll(const DocumentSet &documents) const
    {
        return write(documents, documents.paths());
    }

private:
    QString m_folder;
};
