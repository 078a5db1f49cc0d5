#pragma once

#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

// Opens articles in the news window, which runs as a process of its own (quentara-reader): the
// program never loads the embedded browser, and whatever the browser does, even crash, the
// program goes on. A new reader is started for each article after the one shown before has
// been told to close; the article opens in the default browser when no reader can show it.
class ArticleReader final : public QObject
{
    Q_OBJECT
public:
    using ExternalOpener = std::function<void(const QUrl &address)>;

    // `list` is the grid the articles are chosen from: the reader opens over its window, and
    // the list gets the focus back when the reader is closed by its button. `program` is the
    // reader's executable; `openExternally` opens an address in the default browser.
    ArticleReader(QWidget *list, QString program, ExternalOpener openExternally,
                  QObject *parent = nullptr);
    ~ArticleReader() override;
    Q_DISABLE_COPY_MOVE(ArticleReader)

    void open(const QUrl &address);

    // The reader process of the article shown now, if any.
    QProcess *process() const { return m_process; }

    // quentara-reader beside the program.
    static QString installedProgram();

Q_SIGNALS:
    // A reader has ended, however it ended.
    void readerEnded();

private:
    void readerFinished(QProcess *process, const QUrl &address, bool crashed, int exitCode);

    QPointer<QWidget> m_list;
    QString m_program;
    ExternalOpener m_openExternally;
    QPointer<QProcess> m_process;
};
