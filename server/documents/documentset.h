#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// One published document, ready to send or to write as a file.
struct Document
{
    QByteArray body;
    QByteArray contentType;
    bool operator==(const Document &other) const = default;
};

// Every document the server publishes, by its path under the base address
// ("signals/eurusd.xml"). A request is one lookup.
class DocumentSet
{
public:
    // Returns whether the path's document changed.
    bool insert(const QString &path, const Document &document);
    const Document *find(const QString &path) const;
    // Sorted, so that listings and published folders come out the same every time.
    QStringList paths() const;
    qsizetype size() const { return m_documents.size(); }

private:
    QHash<QString, Document> m_documents;
};

namespace documentpaths {

// Where article n (from 1) of a list lives: next to the list, "signals/news_eng/3.html".
QString articlePage(const char *listPath, int number);

} // namespace documentpaths

inline const QByteArray kXmlType = QByteArrayLiteral("text/xml; charset=utf-8");
inline const QByteArray kHtmlType = QByteArrayLiteral("text/html; charset=utf-8");
