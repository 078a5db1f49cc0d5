#include "http2testserver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSslConfiguration>
#include <QStandardPaths>

namespace {

constexpr int kStartMs = 10000;

QString nodeProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("node"));
}

} // namespace

Http2TestServer::~Http2TestServer()
{
    if (m_node.state() == QProcess::NotRunning)
        return;
    m_node.closeWriteChannel(); // the server ends with its input
    if (!m_node.waitForFinished(3000))
        m_node.kill();
    m_node.waitForFinished(1000);
}

bool Http2TestServer::available()
{
    return !nodeProgram().isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty();
}

bool Http2TestServer::start(std::chrono::milliseconds delay)
{
    if (!available() || !m_dir.isValid()) {
        qWarning("Http2TestServer: node or openssl is missing");
        return false;
    }
    const QString key = m_dir.filePath(QStringLiteral("key.pem"));
    const QString certificate = m_dir.filePath(QStringLiteral("cert.pem"));
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels); // its chatter only when it fails
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                   QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=localhost"), QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=DNS:localhost,IP:127.0.0.1"),
                   QStringLiteral("-keyout"), key, QStringLiteral("-out"), certificate});
    if (!openssl.waitForFinished(kStartMs) || openssl.exitCode() != 0) {
        qWarning("Http2TestServer: openssl could not make a certificate: %s",
                 openssl.readAll().constData());
        return false;
    }
    const QList<QSslCertificate> made = QSslCertificate::fromPath(certificate);
    if (made.isEmpty())
        return false;
    m_certificate = made.first();

    QDir(m_dir.path()).mkpath(QStringLiteral("www"));
    m_node.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_node.start(nodeProgram(), {QStringLiteral(QUENTARA_TEST_SUPPORT_DIR "/http2server.mjs"),
                                 QStringLiteral("--root"), m_dir.filePath(QStringLiteral("www")),
                                 QStringLiteral("--cert"), certificate, QStringLiteral("--key"),
                                 key, QStringLiteral("--delay"), QString::number(delay.count())});
    if (!m_node.waitForStarted(kStartMs) || !m_node.waitForReadyRead(kStartMs)) {
        qWarning("Http2TestServer: node did not start the server");
        return false;
    }
    m_port = m_node.readLine().trimmed().toUShort();
    return m_port != 0;
}

QString Http2TestServer::baseAddress() const
{
    return QStringLiteral("https://localhost:%1/").arg(m_port);
}

void Http2TestServer::trust() const
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.addCaCertificate(m_certificate);
    QSslConfiguration::setDefaultConfiguration(configuration);
}

void Http2TestServer::serve(const QString &path, const QByteArray &body)
{
    const QString file = m_dir.filePath(QStringLiteral("www/") + path);
    QDir().mkpath(QFileInfo(file).path());
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(body) != body.size())
        qWarning("Http2TestServer: cannot write %s", qPrintable(file));
}

int Http2TestServer::maxInFlight() const
{
    auto &node = const_cast<QProcess &>(m_node);
    node.write("inflight\n");
    if (!node.waitForReadyRead(kStartMs))
        return -1;
    bool ok = false;
    const int count = node.readLine().trimmed().toInt(&ok);
    return ok ? count : -1;
}
