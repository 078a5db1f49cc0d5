#pragma once

#include <QByteArray>
#include <QProcess>
#include <QSslCertificate>
#include <QString>
#include <QTemporaryDir>

#include <chrono>

// A real HTTP/2 server over TLS on 127.0.0.1 for tests and benchmarks: Node's http2 module
// serving a folder, with a certificate made by openssl for this run. Trust() makes this
// process's TLS accept that certificate; nothing else about TLS changes.
class Http2TestServer final
{
public:
    Http2TestServer() = default;
    ~Http2TestServer();
    Http2TestServer(const Http2TestServer &) = delete;
    Http2TestServer &operator=(const Http2TestServer &) = delete;

    // Whether node and openssl are there to run one.
    static bool available();

    // Makes the certificate and starts the server; every answer waits `delay`. Returns false,
    // with a warning, when it cannot.
    bool start(std::chrono::milliseconds delay = std::chrono::milliseconds(0));
    // "https://localhost:<port>/"
    QString baseAddress() const;
    void trust() const;

    // Paths as under the base address: "signals/gold.xml".
    void serve(const QString &path, const QByteArray &body);
    // Most requests the server held at once so far (-1 when it cannot tell).
    int maxInFlight() const;

private:
    QTemporaryDir m_dir;
    QProcess m_node;
    QSslCertificate m_certificate;
    quint16 m_port = 0;
};
