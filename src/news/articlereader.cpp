#include "news/articlereader.h"

#include "news/browsersandbox.h"
#include "news/readerexit.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QWidget>

ArticleReader::ArticleReader(QWidget *list, QString program, ExternalOpener openExternally,
                             QObject *parent)
    : QObject(parent)
    , m_list(list)
    , m_program(std::move(program))
    , m_openExternally(std::move(openExternally))
{}

ArticleReader::~ArticleReader()
{
    // A reader does not outlive the program that opened it.
    for (QProcess *process : findChildren<QProcess *>()) {
        process->disconnect(this);
        process->kill();
        process->waitForFinished(1000);
    }
}

QString ArticleReader::installedProgram()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quentara-reader"));
}

void ArticleReader::open(const QUrl &address)
{
    if (m_process) {
        // Normally gone already: it closed when the click in the main window took the focus.
        m_process->disconnect(this);
        connect(m_process, &QProcess::finished, m_process, &QObject::deleteLater);
        m_process->terminate();
        m_process = nullptr;
    }
    if (!browsersandbox::canStart()) {
        m_openExternally(address);
        return;
    }

    auto *process = new QProcess(this);
    m_process = process;
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    QStringList arguments;
    if (m_list && m_list->isVisible()) {
        const QPoint centre = m_list->window()->frameGeometry().center();
        arguments << QStringLiteral("--") + QLatin1String(readerexit::kCentreOption)
                  << QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y());
    }
    arguments << address.toString(QUrl::FullyEncoded);
    connect(process, &QProcess::errorOccurred, this, [this, process, address](auto error) {
        if (error == QProcess::FailedToStart)
            readerFinished(process, address, true, -1);
    });
    connect(process, &QProcess::finished, this,
            [this, process, address](int exitCode, QProcess::ExitStatus status) {
                readerFinished(process, address, status == QProcess::CrashExit, exitCode);
            });
    process->start(m_program, arguments);
}

void ArticleReader::readerFinished(QProcess *process, const QUrl &address, bool crashed,
                                   int exitCode)
{
    process->disconnect(this);
    process->deleteLater();
    if (crashed || exitCode == readerexit::kUnusable) {
        m_openExternally(address);
    } else if (exitCode == readerexit::kClosedByButton && m_list) {
        m_list->window()->activateWindow();
        m_list->setFocus(Qt::OtherFocusReason);
    }
    Q_EMIT readerEnded();
}
