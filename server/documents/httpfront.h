#pragma once

#include "documents/documentset.h"

#include <QHostAddress>
#include <QHttpServer>
#include <QObject>

// Serves a document set over HTTP: GET or HEAD of a document's path answers its bytes; any
// other path is 404.
class HttpFront final : public QObject
{
    Q_OBJECT
public:
    explicit HttpFront(const DocumentSet &documents, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(HttpFront)

    // Listens on the address and port (0: any free port); returns the port, 0 on failure.
    quint16 listen(const QHostAddress &address, quint16 port);

private:
    const DocumentSet &m_documents;
    QHttpServer m_server;
};
