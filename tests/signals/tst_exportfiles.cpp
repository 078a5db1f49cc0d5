#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "enforcedpermissions.h"
#include "signals/exportfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

bool isWritable(const QString &path)
{
    return QFileInfo(path).permissions() & QFile::WriteOwner;
}

constexpr QFile::Permissions kReadOnly = QFile::ReadOwner | QFile::ReadUser;
constexpr QFile::Permissions kReadOnlyFolder =
    kReadOnly | QFile::ExeOwner | QFile::ExeUser | QFile::ReadOther | QFile::ExeOther;

// Files and folders made while it lives are read-only from their creation.
class ReadOnlyCreation final
{
public:
    ReadOnlyCreation()
        : m_previous(::umask(0222))
    {}
    ~ReadOnlyCreation() { ::umask(m_previous); }
    Q_DISABLE_COPY_MOVE(ReadOnlyCreation)

private:
    mode_t m_previous;
};

} // namespace

class TestExportFiles final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void fileNames_data();
    void fileNames();
    void signalWritesItsFiles_data();
    void signalWritesItsFiles();
    void laterSignalReplacesSharedFiles();
    void onlyConfiguredFoldersReceiveFiles();
    void readOnlyFileIsFreedForTheNextSignal();
    void fileInReadOnlyFolderIsWrittenInPlace();
    void refusedRenameWritesInPlace();
    void cleaningSkipsMissingExportFolders();

private:
    QString terminal(const QString &name) const { return m_dir->filePath(name); }
    void setFolder(int folder, const QString &path);
    // Terminal folder `folder` configured, its export folder holding EURUSD.csv with "BUY";
    // returns the export folder with a final separator.
    QString folderWithOldSignal(int folder);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_settings;
};

void TestExportFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_settings = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("s.ini")));
}

void TestExportFiles::setFolder(int folder, const QString &path)
{
    m_settings->write(QLatin1String(settingskeys::kSettings),
                      SettingsStore::terminalFolderKey(folder), path);
}

QString TestExportFiles::folderWithOldSignal(int folder)
{
    const QString path = terminal(QStringLiteral("terminal"));
    const QString exportFolder = path + QStringLiteral("/quentara/");
    if (!QDir().mkpath(exportFolder))
        qFatal("cannot make %s", qPrintable(exportFolder));
    setFolder(folder, path);
    writeFile(exportFolder + "EURUSD.csv", "BUY");
    return exportFolder;
}

void TestExportFiles::fileNames_data()
{
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("currency pair") << "EURUSD"
                                   << "1" << QStringList{"EURUSD1.csv", "EURUSD.csv"};
    QTest::newRow("gold") << "XAUUSD"
                          << "2"
                          << QStringList{"XAUUSD2.csv", "XAUUSD.csv", "GOLD.csv", "GOLD2.csv"};
    QTest::newRow("silver") << "XAGUSD"
                            << "3"
                            << QStringList{"XAGUSD3.csv", "XAGUSD.csv", "SILVER.csv",
                                           "SILVER3.csv"};
    QTest::newRow("dollar rouble")
        << "USDRUB"
        << "1" << QStringList{"USDRUB1.csv", "USDRUB.csv", "USDRUR.csv", "USDRUR1.csv"};
    QTest::newRow("euro rouble") << "EURRUB"
                                 << "3"
                                 << QStringList{"EURRUB3.csv", "EURRUB.csv", "EURRUR.csv",
                                                "EURRUR3.csv"};
    QTest::newRow("name with spaces")
        << "SOLUSD (Solana)"
        << "2" << QStringList{"SOLUSD (Solana)2.csv", "SOLUSD (Solana).csv"};
}

void TestExportFiles::fileNames()
{
    QFETCH(QString, symbol);
    QFETCH(QString, option);
    QFETCH(QStringList, names);
    QCOMPARE(exportfiles::exportFileNames(symbol, option), names);
}

void TestExportFiles::signalWritesItsFiles_data()
{
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("signalName");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("gold") << "BUY"
                          << "Gold"
                          << "2"
                          << QStringList{"GOLD.csv", "GOLD2.csv", "XAUUSD.csv", "XAUUSD2.csv"};
    QTest::newRow("silver") << "SELL"
                            << "Silver"
                            << "1"
                            << QStringList{"SILVER.csv", "SILVER1.csv", "XAGUSD.csv",
                                           "XAGUSD1.csv"};
    QTest::newRow("dollar rouble")
        << "BUY"
        << "USD/RUB"
        << "3" << QStringList{"USDRUB.csv", "USDRUB3.csv", "USDRUR.csv", "USDRUR3.csv"};
    QTest::newRow("euro rouble") << "SELL"
                                 << "EUR/RUB"
                                 << "2"
                                 << QStringList{"EURRUB.csv", "EURRUB2.csv", "EURRUR.csv",
                                                "EURRUR2.csv"};
    QTest::newRow("bitcoin") << "BUY"
                             << "BTC/USD (Bitcoin)"
                             << "1" << QStringList{"BTCUSD.csv", "BTCUSD1.csv"};
    QTest::newRow("solana") << "SELL"
                            << "SOL/USD (Solana)"
                            << "3" << QStringList{"SOLUSD (Solana).csv", "SOLUSD (Solana)3.csv"};
}

void TestExportFiles::signalWritesItsFiles()
{
    QFETCH(QString, direction);
    QFETCH(QString, signalName);
    QFETCH(QString, option);
    QFETCH(QStringList, files);
    const QString path = terminal(QStringLiteral("MQL4 Files"));
    QVERIFY(QDir().mkpath(path));
    setFolder(1, path);

    {
        // The export folder and the files would be born read-only: each gets normal attributes.
        const EnforcedPermissions enforced;
        const ReadOnlyCreation readOnly;
        exportfiles::exportSignal(*m_settings, direction, signalName, option);
    }

    const QDir folder(path + QStringLiteral("/quentara"));
    QVERIFY(isWritable(folder.path()));
    QCOMPARE(folder.entryList(QDir::Files, QDir::Name), files);
    for (const QString &file : files) {
        QCOMPARE(contentOf(folder.filePath(file)), direction.toLatin1()); // no BOM, no line end
        QVERIFY(isWritable(folder.filePath(file)));
    }
}

void TestExportFiles::laterSignalReplacesSharedFiles()
{
    const QString path = terminal(QStringLiteral("terminal"));
    QVERIFY(QDir().mkpath(path));
    setFolder(1, path);
    exportfiles::exportSignal(*m_settings, QStringLiteral("BUY"), QStringLiteral("Gold"), "2");
    exportfiles::exportSignal(*m_settings, QStringLiteral("SELL"), QStringLiteral("Gold"), "1");

    const QString folder = path + QStringLiteral("/quentara/");
    QCOMPARE(contentOf(folder + "XAUUSD1.csv"), QByteArray("SELL"));
    QCOMPARE(contentOf(folder + "GOLD1.csv"), QByteArray("SELL"));
    QCOMPARE(contentOf(folder + "XAUUSD.csv"), QByteArray("SELL"));
    QCOMPARE(contentOf(folder + "GOLD.csv"), QByteArray("SELL"));
    QCOMPARE(contentOf(folder + "XAUUSD2.csv"), QByteArray("BUY"));
    QCOMPARE(contentOf(folder + "GOLD2.csv"), QByteArray("BUY"));
}

void TestExportFiles::onlyConfiguredFoldersReceiveFiles()
{
    const QString third = terminal(QStringLiteral("third"));
    const QString fifth = terminal(QStringLiteral("gone")); // the terminal folder is missing
    QVERIFY(QDir().mkpath(third));
    setFolder(1, QString());
    setFolder(3, third);
    setFolder(5, fifth);

    exportfiles::exportSignal(*m_settings, QStringLiteral("BUY"), QStringLiteral("EUR/USD"), "1");

    QCOMPARE(QDir(third + QStringLiteral("/quentara")).entryList(QDir::Files, QDir::Name),
             (QStringList{"EURUSD.csv", "EURUSD1.csv"}));
    // Only the export folder itself is made, never a missing terminal folder.
    QVERIFY(!QFileInfo::exists(fifth));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
             (QStringList{"s.ini", "third"}));
}

void TestExportFiles::readOnlyFileIsFreedForTheNextSignal()
{
    const QString folder = folderWithOldSignal(2);
    QVERIFY(QFile::setPermissions(folder + "EURUSD.csv", kReadOnly));

    // The write of the read-only file fails and is skipped; its attributes are still made normal.
    exportfiles::exportSignal(*m_settings, QStringLiteral("SELL"), QStringLiteral("EUR/USD"), "3");
    QCOMPARE(contentOf(folder + "EURUSD.csv"), QByteArray("BUY"));
    QVERIFY(isWritable(folder + "EURUSD.csv"));
    QCOMPARE(contentOf(folder + "EURUSD3.csv"), QByteArray("SELL"));

    exportfiles::exportSignal(*m_settings, QStringLiteral("SELL"), QStringLiteral("EUR/USD"), "1");
    QCOMPARE(contentOf(folder + "EURUSD.csv"), QByteArray("SELL"));
}

void TestExportFiles::fileInReadOnlyFolderIsWrittenInPlace()
{
    const QString folder = folderWithOldSignal(1);
    QVERIFY(QFile::setPermissions(folder, kReadOnlyFolder));

    {
        // No temporary file can be made beside the file: it is written where it is, and a
        // file that does not exist yet cannot be made at all.
        const EnforcedPermissions enforced;
        QVERIFY(enforced.active());
        exportfiles::exportSignal(*m_settings, QStringLiteral("SELL"), QStringLiteral("EUR/USD"),
                                  "1");
    }
    QVERIFY(QFile::setPermissions(folder, kReadOnlyFolder | QFile::WriteOwner));
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"EURUSD.csv"});
    QCOMPARE(contentOf(folder + "EURUSD.csv"), QByteArray("SELL"));
}

void TestExportFiles::refusedRenameWritesInPlace()
{
    // In a folder with the sticky bit that belongs to someone else, a file of someone else may
    // be written but not replaced by a rename: the case of a file a terminal holds open.
    const QString folder = folderWithOldSignal(1);
    constexpr uid_t kSomeoneElse = 65534;
    if (::chown(QFile::encodeName(folder).constData(), kSomeoneElse, kSomeoneElse) != 0 ||
        ::chown(QFile::encodeName(folder + "EURUSD.csv").constData(), kSomeoneElse, kSomeoneElse) !=
            0)
        QSKIP("files can be given to another user only by root");
    QVERIFY(::chmod(QFile::encodeName(folder).constData(), 01777) == 0);
    QVERIFY(::chmod(QFile::encodeName(folder + "EURUSD.csv").constData(), 0666) == 0);

    {
        const EnforcedPermissions enforced;
        QVERIFY(enforced.active());
        QVERIFY(!QFile::rename(folder + "EURUSD.csv", folder + "moved.csv"));
        exportfiles::exportSignal(*m_settings, QStringLiteral("SELL"), QStringLiteral("EUR/USD"),
                                  "1");
    }
    QCOMPARE(contentOf(folder + "EURUSD.csv"), QByteArray("SELL"));
    QCOMPARE(contentOf(folder + "EURUSD1.csv"), QByteArray("SELL"));
    QCOMPARE(QFileInfo(folder + "EURUSD.csv").ownerId(), kSomeoneElse); // the same file
}

void TestExportFiles::cleaningSkipsMissingExportFolders()
{
    const QString withFiles = terminal(QStringLiteral("with files"));
    const QString without = terminal(QStringLiteral("without"));
    const QString exportFolder = withFiles + QStringLiteral("/quentara/");
    QVERIFY(QDir().mkpath(exportFolder));
    QVERIFY(QDir().mkpath(without));
    writeFile(exportFolder + "EURUSD.csv", "BUY");
    writeFile(exportFolder + "GOLD2.csv", "SELL");
    writeFile(exportFolder + "readme.txt", "kept");
    writeFile(without + QStringLiteral("/EURUSD.csv"), "not ours");
    QVERIFY(QFile::setPermissions(exportFolder + "GOLD2.csv", QFile::ReadOwner));
    setFolder(1, without);
    setFolder(4, withFiles);

    exportfiles::cleanExportFolders(*m_settings);

    QCOMPARE(QDir(exportFolder).entryList(QDir::Files), QStringList{"readme.txt"});
    QVERIFY(QFileInfo::exists(without + QStringLiteral("/EURUSD.csv")));
    QVERIFY(!QFileInfo::exists(without + QStringLiteral("/quentara")));
}

QTEST_GUILESS_MAIN(TestExportFiles)
#include "tst_exportfiles.moc"
