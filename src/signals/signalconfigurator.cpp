#include "signals/signalconfigurator.h"

#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "signals/signalconfig.h"
#include "ui/look.h"
#include "ui/twips.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace {

using namespace signalconfig;

constexpr int kClientWidth = 12570;
constexpr int kClientHeight = 5100;
constexpr int kColumnLefts[kTimeframeCount] = {1410, 3000, 4590, 6180, 7770, 9360, 10950};
constexpr int kListWidth = 1515;
constexpr int kListHeight = 315;
constexpr int kRowTops[9] = {1080, 1440, 1800, 2250, 2610, 2970, 3420, 3780, 4140};
constexpr int kLabelLeft = 120;
constexpr int kButtonTop = 4590;
constexpr int kButtonWidth = 1245;
constexpr int kButtonHeight = 375;

const char *const kTimeframeCaptions[kTimeframeCount] = {"M1", "M5", "M15", "M30",
                                                         "H1", "H4", "D1"};
const char *const kConditionItems[kConditionCount] = {
    "Doesn't matter",   "Strong Buy",         "Buy",    "Strong Sell", "Sell",
    "Buy & Strong Buy", "Sell & Strong Sell", "Neutral"};
const char *const kBasisItems[kBasisCount] = {"Technical indicators + Moving Averages",
                                              "Technical indicators", "Moving Averages"};

QStringList itemsOf(const char *const *items, int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QString::fromUtf8(items[i]);
    return list;
}

} // namespace

SignalConfigurator::SignalConfigurator(SettingsStore &settings, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Signal configurator"));
    setFont(look::dialogFont());
    setFixedSize(twips::size(kClientWidth, kClientHeight));
    build();
    load();
}

void SignalConfigurator::build()
{
    auto *intro = new QLabel(
        QStringLiteral("In this window you can configure signal configuration options. For "
                       "example, if you want to calculate only the required timeframes and the "
                       "required signal strength."),
        this);
    intro->setObjectName(QStringLiteral("Label14"));
    intro->setWordWrap(true);
    intro->setGeometry(twips::rect(kLabelLeft, 120, kClientWidth - 2 * kLabelLeft, 495));

    for (int timeframe = 0; timeframe < kTimeframeCount; ++timeframe) {
        auto *caption = new QLabel(QLatin1String(kTimeframeCaptions[timeframe]), this);
        caption->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        caption->setGeometry(
            twips::rect(kColumnLefts[timeframe], 780, kListWidth, kRowTops[0] - 30 - 780));
    }

    const QStringList conditions = itemsOf(kConditionItems, kConditionCount);
    const QStringList bases = itemsOf(kBasisItems, kBasisCount);
    int list = 1;
    for (int option = 1; option <= kOptionCount; ++option) {
        const int firstRow = (option - 1) * 3;
        const QString name = QStringLiteral("Option %1 ").arg(option);
        for (int row = 0; row < 3; ++row) {
            const QString text = row == 0   ? name + QStringLiteral("BUY:")
                                 : row == 1 ? name + QStringLiteral("SELL:")
                                            : QStringLiteral("Calculate:");
            auto *label = new QLabel(text, this);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            label->setGeometry(twips::rect(kLabelLeft, kRowTops[firstRow + row],
                                           kColumnLefts[0] - kLabelLeft, kListHeight));
        }
        for (int row = 0; row < 2; ++row) {
            for (int timeframe = 0; timeframe < kTimeframeCount; ++timeframe, ++list) {
                auto *box = new QComboBox(this);
                box->addItems(conditions);
                box->setGeometry(twips::rect(kColumnLefts[timeframe], kRowTops[firstRow + row],
                                             kListWidth, kListHeight));
                m_lists[list - 1] = box;
            }
        }
        // The "Calculate:" lists come last in the list order, one per option.
        auto *basis = new QComboBox(this);
        basis->addItems(bases);
        const int right = kColumnLefts[kTimeframeCount - 1] + kListWidth;
        basis->setGeometry(twips::rect(kColumnLefts[0], kRowTops[firstRow + 2],
                                       right - kColumnLefts[0], kListHeight));
        m_lists[2 * kOptionCount * kTimeframeCount + option - 1] = basis;
    }
    for (int i = 0; i < kListCount; ++i)
        m_lists[i]->setObjectName(QStringLiteral("Combo%1").arg(i + 1));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command2"));
    ok->setGeometry(twips::rect(9930, kButtonTop, kButtonWidth, kButtonHeight));
    connect(ok, &QPushButton::clicked, this, [this] {
        store();
        accept();
    });
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command1"));
    cancel->setGeometry(twips::rect(11220, kButtonTop, kButtonWidth, kButtonHeight));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void SignalConfigurator::load()
{
    for (int list = 1; list <= kListCount; ++list) {
        const int stored =
            parseCode(m_settings.read(QLatin1String(settingskeys::kSettings), listKey(list),
                                      QString::number(listDefault(list))));
        const bool usable = stored >= 0 && stored < listItemCount(list);
        m_lists[list - 1]->setCurrentIndex(usable ? stored : -1);
    }
}

void SignalConfigurator::store()
{
    const SettingsStore::Batch batch(m_settings);
    for (int list = 1; list <= kListCount; ++list) {
        const int index = m_lists[list - 1]->currentIndex();
        if (index >= 0)
            m_settings.write(QLatin1String(settingskeys::kSettings), listKey(list),
                             QString::number(index));
    }
}
