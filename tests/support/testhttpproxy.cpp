#include "testhttpproxy.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpSocket>

TestHttpProxy::TestHttpProxy(QObject *parent)
    : QTcpServer(parent)
{}

quint16 TestHttpProxy::start(quint16 originPort)
{
    m_originPort = originPort;
    return listen(QHostAddress::LocalHost, 0) ? serverPort() : 0;
}

QString TestHttpProxy::address() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(serverPort());
}

void TestHttpProxy::incomingConnection(qintptr descriptor)
{
    auto *client = new QTcpSocket(this);
    client->setSocketDescriptor(descriptor);
    auto *origin = new QTcpSocket(client);
    origin->connectToHost(QHostAddress::LocalHost, m_originPort);
    auto pending = std::make_shared<QByteArray>();

    // Request heads go on as they are: an origin server takes the absolute form a proxy gets.
    connect(client, &QTcpSocket::readyRead, client, [this, client, origin, pending] {
        pending->append(client->readAll());
        for (qsizetype end = pending->indexOf("\r\n\r\n"); end >= 0;
             end = pending->indexOf("\r\n\r\n")) {
            const QByteArray head = pending->left(end + 4);
            pending->remove(0, end + 4);
            const QByteArray requestLine = head.left(head.indexOf("\r\n"));
            m_requestLines << QString::fromLatin1(requestLine);
            if (requestLine.startsWith("CONNECT ")) {
                client->write("HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n");
                client->disconnectFromHost();
                return;
            }
            origin->write(head);
        }
    });
    connect(origin, &QTcpSocket::readyRead, client,
            [client, origin] { client->write(origin->readAll()); });
    connect(origin, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
    connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
}
