// Signal evaluation over arbitrary texts: a working grid filled from a fuzzed record, evaluated
// with fuzzed configuration values through the engine the polling cycle hands grids to.
//
// An input is a settings block, "key=value" lines up to the first empty line, then the record.
// Only the configurator's keys ("v1", "v1-m1buy", ...) and "Method" are taken: other keys would
// let the engine export signals into folders named by the input.
#include "fuzzinput.h"

#include "app/catalogue.h"
#include "app/clock.h"
#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "app/trayoptions.h"
#include "market/indicatorgridfill.h"
#include "market/instrumentrecord.h"
#include "signals/signal.h"
#include "signals/signalengine.h"
#include "signals/signalmemory.h"
#include "signals/signaloutput.h"

#include <QList>
#include <QSet>

namespace {

// A store that starts empty for every input and never reaches the disk: below /dev/null no file
// can be read or written.
const QString kNowhere = QStringLiteral("/dev/null/quentara-fuzz.ini");

class DeliveredSignals final : public SignalOutput
{
public:
    void addToList(const QString &, const Signal &signal) override { list << signal; }
    void playSound() override {}
    void showAlert(const QString &, const QString &) override {}

    QList<Signal> list;
};

bool isConfigurationKey(const QString &key)
{
    return key.startsWith(QLatin1String(settingskeys::kSignalConfigPrefix)) ||
           key == QLatin1String(settingskeys::kMethod);
}

void writeSettings(SettingsStore &store, QStringView block)
{
    for (const QStringView line : block.split(u'\n')) {
        const qsizetype equals = line.indexOf(u'=');
        const QString key = line.left(equals).toString();
        if (equals > 0 && isConfigurationKey(key))
            store.write(QLatin1String(settingskeys::kSettings), key,
                        line.sliced(equals + 1).toString());
    }
}

bool isCode(const QString &slot)
{
    static const QSet<QString> kCodes{
        QStringLiteral("B1"), QStringLiteral("S1"), QStringLiteral("B2"), QStringLiteral("S2"),
        QStringLiteral("B3"), QStringLiteral("S3"), QStringLiteral("B5"), QStringLiteral("S5"),
        QStringLiteral("B6"), QStringLiteral("S6"), QStringLiteral("B7"), QStringLiteral("S7")};
    return kCodes.contains(slot);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(fuzzinput::bytes(data, size));
    const qsizetype blockEnd = text.indexOf(QLatin1String("\n\n"));
    const QStringView settingsBlock = QStringView(text).left(blockEnd < 0 ? 0 : blockEnd);
    const QString recordText = blockEnd < 0 ? text : text.sliced(blockEnd + 2);

    SettingsStore store(kNowhere);
    const SettingsStore::Batch batch(store);
    writeSettings(store, settingsBlock);
    TrayOptions options(store);
    options.loadMethod();
    DeliveredSignals delivered;
    const QDateTime moment(QDate(2024, 5, 14), QTime(10, 6));
    SignalEngine engine(store, options, delivered, Clock([moment] { return moment; }));

    // The instrument comes from the record's length, so that the text stays all record.
    const int key = int(recordText.size() % catalogue::kInstrumentCount);
    const QString name = catalogue::signalName(key);
    IndicatorGrid grid;
    loadInd(grid, key, InstrumentRecord(recordText));

    SignalMemory memory;
    engine.checkSignal(grid, memory, name);
    FUZZ_CHECK(delivered.list.size() <= 3);
    QSet<QString> seenOptions;
    for (const Signal &signal : delivered.list) {
        FUZZ_CHECK(signal.instrument == name);
        FUZZ_CHECK(signal.direction == QLatin1String(direction::kBuy) ||
                   signal.direction == QLatin1String(direction::kSell));
        FUZZ_CHECK(signal.option == QLatin1String("1") || signal.option == QLatin1String("2") ||
                   signal.option == QLatin1String("3"));
        FUZZ_CHECK(!seenOptions.contains(signal.option)); // at most one signal per option
        seenOptions << signal.option;
    }
    for (const QString *slot : {&memory.tag, &memory.toolTipText, &memory.caption})
        FUZZ_CHECK(*slot == QLatin1String("0") || isCode(*slot));

    // Under Method 1 a signal is raised once while its condition holds: the same verdicts again
    // raise nothing.
    if (options.isTicked(TrayOptions::Method1) && !options.isTicked(TrayOptions::Method2)) {
        const qsizetype raised = delivered.list.size();
        engine.checkSignal(grid, memory, name);
        FUZZ_CHECK(delivered.list.size() == raised);
    }
    return 0;
}
