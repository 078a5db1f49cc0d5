#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// Keeps a second copy of the program from running against the same settings store. The first
// copy holds a lock file in the user's runtime folder and listens on a local socket; a later
// copy finds the lock taken and asks the first one to show its window.
class SingleInstance final : public QObject
{
    Q_OBJECT
public:
    // The key names the instance: one per settings store.
    explicit SingleInstance(const QString &key, QObject *parent = nullptr);
    ~SingleInstance() override;
    Q_DISABLE_COPY_MOVE(SingleInstance)

    // True when this process is now the only instance.
    bool acquire();
    // Asks the running instance to bring its window up; false when none answered.
    bool askRunningToShow() const;

    static QString keyForSettingsFile(const QString &settingsFile);

Q_SIGNALS:
    void showRequested();

private:
    QString serverName() const;

    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
