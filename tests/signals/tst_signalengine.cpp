#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "app/trayoptions.h"
#include "market/indicatorgrid.h"
#include "signals/deliveredsignal.h"
#include "signals/signal.h"
#include "signals/signalengine.h"
#include "signals/signalmemory.h"
#include "signals/signaloutput.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

class RecordingOutput final : public SignalOutput
{
public:
    void addToList(const QString &time, const Signal &signal) override
    {
        calls << QStringLiteral("list %1 %2 %3").arg(time, signal.text(), signal.option);
    }
    void playSound() override { calls << QStringLiteral("sound"); }
    void showAlert(const QString &text, const QString &option) override
    {
        calls << QStringLiteral("alert %1 %2").arg(text, option);
    }

    QStringList calls;
};

// Notes each signal handed on in the same list as the desktop steps.
class RecordingRecipient final : public SignalRecipient
{
public:
    RecordingRecipient(QStringList &calls, const QString &name)
        : m_calls(calls)
        , m_name(name)
    {}

    void receive(const DeliveredSignal &delivered) override
    {
        m_calls << QStringLiteral("%1 %2 %3 method %4 price %5 at %6")
                       .arg(m_name, delivered.signal.text(), delivered.signal.option)
                       .arg(delivered.method)
                       .arg(delivered.priceText, delivered.time.toString(Qt::ISODate));
    }

private:
    QStringList &m_calls;
    QString m_name;
};

void fillOverall(IndicatorGrid &grid, const QString &verdict)
{
    for (int column = 1; column <= 7; ++column)
        grid.cell(IndicatorGrid::kOverallSummaryRow, column).text = verdict;
}

} // namespace

class TestSignalEngine final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void deliversEachStepInOrder();
    void switchesDecideWhatIsDelivered_data();
    void switchesDecideWhatIsDelivered();
    void filteredSignalIsRecordedNotDelivered();
    void recipientsFollowTheDesktopSteps_data();
    void recipientsFollowTheDesktopSteps();
    void savedConfigurationCountsAtTheNextEvaluation();
    void unusableStoredCodeOnlyStopsItsOwnPair();
    void methodTickIsReadAtEveryEvaluation();
    void timeIsShownInTheLongFormatWithoutZone_data();
    void timeIsShownInTheLongFormatWithoutZone();

private:
    QList<QString> listed() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<TrayOptions> m_options;
    RecordingOutput m_output;
    std::unique_ptr<SignalEngine> m_engine;
    IndicatorGrid m_grid;
};

void TestSignalEngine::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_settings = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("s.ini")));
    m_options = std::make_unique<TrayOptions>(*m_settings);
    m_output.calls.clear();
    m_engine = std::make_unique<SignalEngine>(*m_settings, *m_options, m_output, Clock([] {
        return QDateTime(QDate(2024, 3, 1), QTime(14, 5, 9));
    }));
    m_grid = IndicatorGrid();
    fillOverall(m_grid, QStringLiteral("STRONG BUY"));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

QList<QString> TestSignalEngine::listed() const
{
    QList<QString> rows;
    for (const QString &call : m_output.calls) {
        if (call.startsWith(QLatin1String("list ")))
            rows << call.mid(5);
    }
    return rows;
}

void TestSignalEngine::deliversEachStepInOrder()
{
    const QString terminal = m_dir->filePath(QStringLiteral("terminal"));
    QVERIFY(QDir().mkpath(terminal));
    m_settings->writeText(settingskeys::kSaveLog, QStringLiteral("1"));
    m_settings->writeText(settingskeys::kLogPath, terminal);
    m_grid.cell(IndicatorGrid::kOverallSummaryRow, 7).text = QStringLiteral("SELL");

    SignalMemory memory;
    m_engine->checkSignal(m_grid, memory, QStringLiteral("EUR/USD"));

    QCOMPARE(m_output.calls,
             (QStringList{"list 14:05:09 BUY EUR/USD 1", "sound", "alert BUY EUR/USD 1",
                          "list 14:05:09 BUY EUR/USD 2", "sound", "alert BUY EUR/USD 2"}));
    QCOMPARE(memory, (SignalMemory{"B1", "B2", "0"}));
    QFile file(terminal + QStringLiteral("/quentara/EURUSD2.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("BUY"));
}

void TestSignalEngine::switchesDecideWhatIsDelivered_data()
{
    QTest::addColumn<QString>("saveLog");
    QTest::addColumn<bool>("sound");
    QTest::addColumn<bool>("alert");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("exported");
    QTest::newRow("export off") << "0" << true << true
                                << QStringList{"list 14:05:09 BUY Gold 3", "sound",
                                               "alert BUY Gold 3"}
                                << false;
    QTest::newRow("only the list")
        << "0" << false << false << QStringList{"list 14:05:09 BUY Gold 3"} << false;
    QTest::newRow("export without sound")
        << "1" << false << true << QStringList{"list 14:05:09 BUY Gold 3", "alert BUY Gold 3"}
        << true;
    QTest::newRow("export flag not 1")
        << "True" << true << false << QStringList{"list 14:05:09 BUY Gold 3", "sound"} << false;
}

void TestSignalEngine::switchesDecideWhatIsDelivered()
{
    QFETCH(QString, saveLog);
    QFETCH(bool, sound);
    QFETCH(bool, alert);
    QFETCH(QStringList, calls);
    QFETCH(bool, exported);
    const QString terminal = m_dir->filePath(QStringLiteral("terminal"));
    m_settings->writeText(settingskeys::kSaveLog, saveLog);
    m_settings->writeText(settingskeys::kLogPath, terminal);
    QVERIFY(QDir().mkpath(terminal));
    m_options->choose(TrayOptions::Sound, sound);
    m_options->choose(TrayOptions::TraySignal, alert);

    m_engine->sendsignal({QTime(1, 2, 3), QStringLiteral("BUY"), QStringLiteral("Gold"), "3"});

    QCOMPARE(m_output.calls, calls);
    QCOMPARE(QFileInfo::exists(terminal + QStringLiteral("/quentara/GOLD3.csv")), exported);
    QCOMPARE(QFileInfo::exists(terminal + QStringLiteral("/quentara")), exported);
}

void TestSignalEngine::filteredSignalIsRecordedNotDelivered()
{
    m_options->choose(TrayOptions::Filter1, false); // option 3
    SignalMemory memory;
    m_engine->checkSignal(m_grid, memory, QStringLiteral("DXY"));
    QCOMPARE(listed(), (QList<QString>{"14:05:09 BUY DXY 1", "14:05:09 BUY DXY 2"}));
    QCOMPARE(memory.caption, QStringLiteral("B3"));

    m_options->choose(TrayOptions::Filter1, true);
    m_output.calls.clear();
    m_engine->checkSignal(m_grid, memory, QStringLiteral("DXY"));
    QVERIFY(m_output.calls.isEmpty());
}

void TestSignalEngine::recipientsFollowTheDesktopSteps_data()
{
    QTest::addColumn<int>("method");
    QTest::newRow("method 1") << 1;
    QTest::newRow("method 2") << 2;
}

void TestSignalEngine::recipientsFollowTheDesktopSteps()
{
    QFETCH(int, method);
    m_options->choose(method == 1 ? TrayOptions::Method1 : TrayOptions::Method2, true);
    m_options->choose(TrayOptions::Filter2, false); // option 2
    RecordingRecipient journal(m_output.calls, QStringLiteral("journal"));
    RecordingRecipient remote(m_output.calls, QStringLiteral("remote"));
    m_engine->addRecipient(&journal);
    m_engine->addRecipient(&remote);
    m_grid.cell(0, 0).text = QStringLiteral("1,085.12");

    SignalMemory memory;
    m_engine->checkSignal(m_grid, memory, QStringLiteral("EUR/USD"));

    const QString handedOn =
        QStringLiteral(" method %1 price 1,085.12 at 2024-03-01T14:05:09").arg(method);
    QCOMPARE(m_output.calls,
             (QStringList{"list 14:05:09 BUY EUR/USD 1", "sound", "alert BUY EUR/USD 1",
                          "journal BUY EUR/USD 1" + handedOn, "remote BUY EUR/USD 1" + handedOn,
                          "list 14:05:09 BUY EUR/USD 3", "sound", "alert BUY EUR/USD 3",
                          "journal BUY EUR/USD 3" + handedOn, "remote BUY EUR/USD 3" + handedOn}));
}

void TestSignalEngine::savedConfigurationCountsAtTheNextEvaluation()
{
    SignalMemory first;
    m_engine->checkSignal(m_grid, first, QStringLiteral("EUR/USD"));
    QCOMPARE(listed().size(), 3);

    // Option 2 now reads the indicator summary, which says nothing.
    m_settings->writeText("v2", QStringLiteral("1"));
    m_output.calls.clear();
    SignalMemory second;
    m_engine->checkSignal(m_grid, second, QStringLiteral("GBP/USD"));
    QCOMPARE(listed(), (QList<QString>{"14:05:09 BUY GBP/USD 1", "14:05:09 BUY GBP/USD 3"}));
}

void TestSignalEngine::unusableStoredCodeOnlyStopsItsOwnPair()
{
    m_settings->writeText("v1-m15buy", QStringLiteral("strong"));
    m_settings->writeText("v3", QString());
    SignalMemory memory;
    m_engine->checkSignal(m_grid, memory, QStringLiteral("EUR/USD"));
    QCOMPARE(listed(), QList<QString>{"14:05:09 BUY EUR/USD 2"});
    QCOMPARE(memory, (SignalMemory{"0", "B2", "0"}));
}

void TestSignalEngine::methodTickIsReadAtEveryEvaluation()
{
    SignalMemory memory;
    m_engine->checkSignal(m_grid, memory, QStringLiteral("EUR/USD"));
    m_engine->checkSignal(m_grid, memory, QStringLiteral("EUR/USD"));
    QCOMPARE(listed().size(), 3);

    fillOverall(m_grid, QStringLiteral("Neutral"));
    m_engine->checkSignal(m_grid, memory, QStringLiteral("EUR/USD"));
    m_options->choose(TrayOptions::Method2, true);
    fillOverall(m_grid, QStringLiteral("STRONG BUY"));
    m_engine->checkSignal(m_grid, memory, QStringLiteral("EUR/USD"));
    m_engine->checkSignal(m_grid, memory, QStringLiteral("EUR/USD"));
    QCOMPARE(listed().size(), 9);
    QCOMPARE(m_settings->readText(settingskeys::kMethod), QStringLiteral("2"));
}

void TestSignalEngine::timeIsShownInTheLongFormatWithoutZone_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("time");
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << "2:05:09 PM";
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << "14:05:09";
}

void TestSignalEngine::timeIsShownInTheLongFormatWithoutZone()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, time);
    QLocale::setDefault(locale);
    m_engine->sendsignal({QTime(), QStringLiteral("SELL"), QStringLiteral("EUR/USD"), "1"});
    QCOMPARE(listed(), QList<QString>{time + QStringLiteral(" SELL EUR/USD 1")});
}

QTEST_GUILESS_MAIN(TestSignalEngine)
#include "tst_signalengine.moc"
