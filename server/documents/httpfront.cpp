#include "documents/httpfront.h"

#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QUrl>

HttpFront::HttpFront(const DocumentSet &documents, QObject *parent)
    : QObject(parent)
    , m_documents(documents)
{
    // One rule for every path: the path is looked up, not routed.
    m_server.route(QStringLiteral("/<arg>"),
                   QHttpServerRequest::Method::Get | QHttpServerRequest::Method::Head,
                   [this](const QUrl &, const QHttpServerRequest &request) {
                       const Document *document = m_documents.find(request.url().path().mid(1));
                       if (!document)
                           return QHttpServerResponse(QHttpServerResponder::StatusCode::NotFound);
                       return QHttpServerResponse(document->contentType, document->body);
                   });
}

quint16 HttpFront::listen(const QHostAddress &address, quint16 port)
{
    return m_server.listen(address, port);
}
