#include "app/appstate.h"
#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "app/shutdown.h"
#include "app/storedforms.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSettings final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void textRoundTripAndDefaults();
    void booleanForms_data();
    void booleanForms();
    void numbersIgnoreUnusableValues_data();
    void numbersIgnoreUnusableValues();
    void enabledForms_data();
    void enabledForms();
    void firstRunMarker();
    void valuesSurviveReopening();
    void shutdownStoresFlagsSelectionAndLayout_data();
    void shutdownStoresFlagsSelectionAndLayout();
    void writesLeaveNoPartialFile();

private:
    QString iniPath() const { return m_dir->filePath(QStringLiteral("settings.ini")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSettings::textRoundTripAndDefaults()
{
    SettingsStore store(iniPath());
    QCOMPARE(store.read("Settings", "LogPath", "none"), QStringLiteral("none"));
    // No read writes its default back.
    QVERIFY(!QFile::exists(iniPath()));
    store.write("Settings", "LogPath",
                "C:\\Program Files (x64)\\MetaTrader 4\\MQL4\\Files, second");
    QCOMPARE(store.read("Settings", "LogPath"),
             QStringLiteral("C:\\Program Files (x64)\\MetaTrader 4\\MQL4\\Files, second"));
    store.write("InstrumentsChecked", "14", "&HC000&");
    QCOMPARE(store.read("InstrumentsChecked", "14"), QStringLiteral("&HC000&"));
    QCOMPARE(store.read("Settings", "14", "x"), QStringLiteral("x"));
    QCOMPARE(SettingsStore::terminalFolderKey(1), QStringLiteral("LogPath"));
    QCOMPARE(SettingsStore::terminalFolderKey(5), QStringLiteral("LogPath5"));
}

void TestSettings::booleanForms_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("defaultValue");
    QTest::addColumn<bool>("read");
    QTest::newRow("True") << "True" << false << true;
    QTest::newRow("False") << "False" << true << false;
    QTest::newRow("lower case") << "true" << false << true;
    QTest::newRow("number non-zero") << "-1" << false << true;
    QTest::newRow("number zero") << "0" << true << false;
    QTest::newRow("garbage keeps default on") << "yes" << true << true;
    QTest::newRow("garbage keeps default off") << "maybe" << false << false;
    QTest::newRow("empty keeps default") << "" << true << true;
}

void TestSettings::booleanForms()
{
    QFETCH(QString, stored);
    QFETCH(bool, defaultValue);
    QFETCH(bool, read);
    SettingsStore store(iniPath());
    store.writeText(settingskeys::kSound, stored);
    QCOMPARE(store.readBool(settingskeys::kSound, defaultValue), read);
    store.writeBool(settingskeys::kSound, read);
    QCOMPARE(store.readText(settingskeys::kSound),
             read ? QStringLiteral("True") : QStringLiteral("False"));
}

void TestSettings::numbersIgnoreUnusableValues_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("read");
    QTest::newRow("in range") << "45" << 45;
    QTest::newRow("blanks") << " 7 " << 7;
    QTest::newRow("empty means default") << "" << 0;
    QTest::newRow("not a number") << "gold" << 0;
    QTest::newRow("fraction") << "4.5" << 0;
    QTest::newRow("reserved slot never selected") << "62" << 0;
    QTest::newRow("negative") << "-1" << 0;
    QTest::newRow("last instrument") << "61" << 61;
}

void TestSettings::numbersIgnoreUnusableValues()
{
    QFETCH(QString, stored);
    QFETCH(int, read);
    SettingsStore store(iniPath());
    store.writeText(settingskeys::kInstrumentsSelected, stored);
    QCOMPARE(store.readNumber(settingskeys::kInstrumentsSelected, 0, 0, 61), read);
}

void TestSettings::enabledForms_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("on");
    QTest::newRow("first run") << "1" << true;
    QTest::newRow("shutdown on") << "&HC000&" << true;
    QTest::newRow("shutdown off") << "&HFFFFFF" << false;
    QTest::newRow("without trailing ampersand") << "&HC000" << false;
    QTest::newRow("True is not a flag") << "True" << false;
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("empty") << "" << false;
}

void TestSettings::enabledForms()
{
    QFETCH(QString, stored);
    QFETCH(bool, on);
    SettingsStore store(iniPath());
    store.write("InstrumentsChecked", "30", stored);
    QCOMPARE(store.readEnabled(30), on);
    QCOMPARE(storedforms::isEnabled(stored), on);
}

void TestSettings::firstRunMarker()
{
    SettingsStore store(iniPath());
    QVERIFY(store.isFirstRun());
    store.write("InstrumentsChecked", "0", "1");
    QVERIFY(store.isFirstRun()); // key "1" decides, whatever the others hold
    store.write("InstrumentsChecked", "1", "");
    QVERIFY(store.isFirstRun());
    store.write("InstrumentsChecked", "1", "&HFFFFFF");
    QVERIFY(!store.isFirstRun());
}

void TestSettings::valuesSurviveReopening()
{
    {
        SettingsStore store(iniPath());
        store.writeFlag(settingskeys::kSaveLog, true);
        store.writeNumber(settingskeys::kGmt, 15);
        store.write("Settings", "v2-m1sell", "6");
    }
    SettingsStore reopened(iniPath());
    QVERIFY(reopened.readFlag(settingskeys::kSaveLog));
    QCOMPARE(reopened.readText(settingskeys::kSaveLog), QStringLiteral("1"));
    QCOMPARE(reopened.readNumber(settingskeys::kGmt, 0, 0, 24), 15);
    QCOMPARE(reopened.read("Settings", "v2-m1sell"), QStringLiteral("6"));
}

void TestSettings::shutdownStoresFlagsSelectionAndLayout_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("splitter");
    QTest::addColumn<QString>("compactMode");
    QTest::addColumn<QString>("split");
    QTest::newRow("full layout shown") << 10740 << "3"
                                       << "0"
                                       << "0";
    QTest::newRow("compact layout, folded") << 4515 << "4"
                                            << "1"
                                            << "1";
    QTest::newRow("in-between height keeps the key") << 7000 << "x"
                                                     << "kept"
                                                     << "kept";
}

void TestSettings::shutdownStoresFlagsSelectionAndLayout()
{
    QFETCH(int, height);
    QFETCH(QString, splitter);
    QFETCH(QString, compactMode);
    QFETCH(QString, split);

    SettingsStore store(iniPath());
    store.writeText(settingskeys::kCompactMode, "kept");
    store.writeText(settingskeys::kSplit, "kept");
    AppState state;
    state.setEnabled(14, true);
    state.setSelectedIndex(47);
    storeAtShutdown(store, snapshotOf(state, height, splitter));

    SettingsStore reopened(iniPath());
    QCOMPARE(reopened.read("InstrumentsChecked", "14"), QStringLiteral("&HC000&"));
    for (int i = 0; i < 63; ++i) {
        if (i != 14)
            QCOMPARE(reopened.read("InstrumentsChecked", QString::number(i)),
                     QStringLiteral("&HFFFFFF"));
    }
    QCOMPARE(reopened.readText(settingskeys::kInstrumentsSelected), QStringLiteral("47"));
    QCOMPARE(reopened.readText(settingskeys::kCompactMode), compactMode);
    QCOMPARE(reopened.readText(settingskeys::kSplit), split);
    QVERIFY(!reopened.isFirstRun());
}

void TestSettings::writesLeaveNoPartialFile()
{
    // Each write replaces the file through a temporary file and a rename: after a run of writes
    // the folder holds the settings file alone, complete.
    SettingsStore store(iniPath());
    {
        const SettingsStore::Batch batch(store);
        for (int i = 0; i < 63; ++i)
            store.writeEnabled(i, i % 2 == 0);
        QVERIFY(!QFile::exists(iniPath())); // nothing on disk until the batch ends
    }
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"settings.ini"});
    SettingsStore reopened(iniPath());
    for (int i = 0; i < 63; ++i)
        QCOMPARE(reopened.readEnabled(i), i % 2 == 0);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
