#include "app/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace {

constexpr char kShowRequest[] = "show\n";
constexpr int kAnswerWaitMs = 1000;

QString runtimeFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder;
}

} // namespace

QString SingleInstance::serverName() const
{
#ifdef Q_OS_UNIX
    // Beside the lock, so that the copies of different users never meet in a shared folder.
    return runtimeFolder() + QLatin1Char('/') + m_key + QStringLiteral(".socket");
#else
    return m_key;
#endif
}

SingleInstance::SingleInstance(const QString &key, QObject *parent)
    : QObject(parent)
    , m_key(key)
{}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::keyForSettingsFile(const QString &settingsFile)
{
    if (settingsFile.isEmpty())
        return QStringLiteral("quentara");
    const QByteArray path = QDir::cleanPath(QFileInfo(settingsFile).absoluteFilePath()).toUtf8();
    return QStringLiteral("quentara-") +
           QString::fromLatin1(
               QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex().left(16));
}

bool SingleInstance::acquire()
{
    m_lock = std::make_unique<QLockFile>(runtimeFolder() + QLatin1Char('/') + m_key +
                                         QStringLiteral(".lock"));
    m_lock->setStaleLockTime(0); // a lock left by a crashed copy is detected by its dead process
    if (!m_lock->tryLock(0))
        return false;

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket left behind can only be a crashed copy's.
    QLocalServer::removeServer(serverName());
    if (m_server->listen(serverName())) {
        connect(m_server, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket *socket = m_server->nextPendingConnection()) {
                connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                    if (socket->readAll().startsWith("show"))
                        Q_EMIT showRequested();
                    socket->disconnectFromServer();
                });
                connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    return true;
}

bool SingleInstance::askRunningToShow() const
{
    // A short blocking exchange, made before this process has a window or a cycle to run.
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(kAnswerWaitMs))
        return false;
    socket.write(kShowRequest);
    return socket.waitForBytesWritten(kAnswerWaitMs);
}
