#include "signals/remotedeliverydialog.h"

#include "app/settingsstore.h"
#include "signals/deliverytexts.h"
#include "signals/remotedelivery.h"
#include "ui/look.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <QCoroTask>

namespace {

using Kind = DeliveryTarget::Kind;

constexpr int kAddressPage = 0;
constexpr int kTelegramPage = 1;
constexpr int kWidth = 520;
constexpr int kAnswerLines = 3;
constexpr qsizetype kAnswerLimit = 160;

// The kinds in the order the list offers them.
constexpr Kind kKinds[] = {Kind::Webhook, Kind::Telegram, Kind::Discord};
constexpr const char *kKindCaptions[] = {deliverytexts::kWebhook, deliverytexts::kTelegram,
                                         deliverytexts::kDiscord};

QString indexed(const char *name, int index)
{
    return QLatin1String(name) + QLatin1Char('_') + QString::number(index);
}

// The captions of both pages take the width of the widest, so the boxes line up as the kind
// changes.
QLabel *captionOf(const char *text, QWidget *page)
{
    auto *caption = new QLabel(QLatin1String(text));
    int widest = 0;
    for (const char *longest : {deliverytexts::kAddress, deliverytexts::kToken,
                                deliverytexts::kChat, deliverytexts::kApi})
        widest = std::max(widest, page->fontMetrics().horizontalAdvance(QLatin1String(longest)));
    caption->setMinimumWidth(widest + 8);
    return caption;
}

QLineEdit *addEdit(QFormLayout *form, const char *caption, const QString &objectName)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(objectName);
    form->addRow(captionOf(caption, form->parentWidget()), edit);
    return edit;
}

// What a webhook or Discord target is sent, under its address.
const char *hintFor(Kind kind)
{
    return kind == Kind::Discord ? deliverytexts::kDiscordHint : deliverytexts::kWebhookHint;
}

QFormLayout *formOf(QWidget *page)
{
    auto *form = new QFormLayout(page);
    form->setContentsMargins(0, 0, 0, 0);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setFormAlignment(Qt::AlignLeft | Qt::AlignTop);
    return form;
}

} // namespace

RemoteDeliveryDialog::RemoteDeliveryDialog(SettingsStore &settings, RemoteDelivery &delivery,
                                           QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_delivery(delivery)
{
    setObjectName(QStringLiteral("RemoteDelivery"));
    setWindowTitle(QLatin1String(deliverytexts::kTitle));
    setFont(look::dialogFont());

    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(QLatin1String(deliverytexts::kIntro));
    intro->setObjectName(QStringLiteral("intro"));
    intro->setWordWrap(true);
    layout->addWidget(intro);
    for (int target = 1; target <= deliverytargets::kCount; ++target)
        layout->addWidget(buildTarget(target));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *ok = new QPushButton(QLatin1String(deliverytexts::kOk));
    ok->setObjectName(QStringLiteral("okButton"));
    connect(ok, &QPushButton::clicked, this, &RemoteDeliveryDialog::store);
    auto *cancel = new QPushButton(QLatin1String(deliverytexts::kCancel));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    // Enter in an address box neither tests nor closes the dialog.
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setAutoDefault(false);

    for (int target = 1; target <= deliverytargets::kCount; ++target)
        showTarget(target, deliverytargets::read(m_settings, target));
    setFixedWidth(kWidth);
    setFixedHeight(sizeHint().height());
}

QWidget *RemoteDeliveryDialog::buildTarget(int target)
{
    TargetRow &row = m_rows.at(target - 1);
    auto *box = new QGroupBox(QString::fromLatin1(deliverytexts::kTarget).arg(target));
    box->setObjectName(indexed("target", target));
    auto *layout = new QVBoxLayout(box);

    auto *top = new QHBoxLayout;
    row.on = new QCheckBox(QLatin1String(deliverytexts::kOn));
    row.on->setObjectName(indexed("targetOn", target));
    top->addWidget(row.on);
    top->addSpacing(12);
    top->addWidget(new QLabel(QLatin1String(deliverytexts::kKind)));
    row.kind = new QComboBox;
    row.kind->setObjectName(indexed("targetKind", target));
    for (const char *caption : kKindCaptions)
        row.kind->addItem(QLatin1String(caption));
    top->addWidget(row.kind);
    top->addStretch();
    top->addWidget(new QLabel(QLatin1String(deliverytexts::kOptions)));
    for (int option = 1; option <= int(row.options.size()); ++option) {
        QCheckBox *&tick = row.options.at(option - 1);
        tick = new QCheckBox(QString::number(option));
        tick->setObjectName(indexed("targetOption", target) + QLatin1Char('_') +
                            QString::number(option));
        top->addWidget(tick);
    }
    layout->addLayout(top);

    // Both pages take the height of the taller, so the dialog keeps its size as the kind changes.
    row.fields = new QStackedWidget;
    auto *addressPage = new QWidget;
    QFormLayout *addressForm = formOf(addressPage);
    row.url = addEdit(addressForm, deliverytexts::kAddress, indexed("targetUrl", target));
    auto *hint = new QLabel;
    hint->setObjectName(indexed("targetHint", target));
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    hint->setTextFormat(Qt::PlainText);
    look::setTextColor(hint, look::kInactiveGrey);
    addressForm->addRow(QString(), hint);
    auto *telegramPage = new QWidget;
    QFormLayout *telegramForm = formOf(telegramPage);
    row.token = addEdit(telegramForm, deliverytexts::kToken, indexed("targetToken", target));
    row.token->setEchoMode(QLineEdit::PasswordEchoOnEdit);
    row.chat = addEdit(telegramForm, deliverytexts::kChat, indexed("targetChat", target));
    row.api = addEdit(telegramForm, deliverytexts::kApi, indexed("targetApi", target));
    row.fields->insertWidget(kAddressPage, addressPage);
    row.fields->insertWidget(kTelegramPage, telegramPage);
    layout->addWidget(row.fields);
    connect(row.kind, &QComboBox::currentIndexChanged, row.fields, [&row, hint](int index) {
        row.fields->setCurrentIndex(kKinds[index] == Kind::Telegram ? kTelegramPage : kAddressPage);
        hint->setText(QLatin1String(hintFor(kKinds[index])));
    });
    hint->setText(QLatin1String(hintFor(Kind::Webhook)));

    auto *bottom = new QHBoxLayout;
    row.sendTest = new QPushButton(QLatin1String(deliverytexts::kSendTest));
    row.sendTest->setObjectName(indexed("sendTest", target));
    connect(row.sendTest, &QPushButton::clicked, this, [this, target] { sendTest(target); });
    bottom->addWidget(row.sendTest, 0, Qt::AlignTop);
    row.answer = new QLabel;
    row.answer->setObjectName(indexed("testAnswer", target));
    row.answer->setTextFormat(Qt::PlainText);
    row.answer->setWordWrap(true);
    row.answer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    row.answer->setMinimumHeight(kAnswerLines * row.answer->fontMetrics().lineSpacing());
    bottom->addWidget(row.answer, 1);
    layout->addLayout(bottom);
    return box;
}

void RemoteDeliveryDialog::showTarget(int target, const DeliveryTarget &value)
{
    TargetRow &row = m_rows.at(target - 1);
    row.on->setChecked(value.on);
    for (int i = 0; i < int(std::size(kKinds)); ++i) {
        if (kKinds[i] == value.kind)
            row.kind->setCurrentIndex(i);
    }
    for (int option = 1; option <= int(row.options.size()); ++option)
        row.options.at(option - 1)->setChecked(value.options.contains(QString::number(option)));
    row.url->setText(value.url);
    row.token->setText(value.token);
    row.chat->setText(value.chat);
    row.api->setText(value.api);
}

DeliveryTarget RemoteDeliveryDialog::target(int target) const
{
    const TargetRow &row = m_rows.at(target - 1);
    DeliveryTarget value;
    value.on = row.on->isChecked();
    value.kind = kKinds[row.kind->currentIndex()];
    for (int option = 1; option <= int(row.options.size()); ++option) {
        if (row.options.at(option - 1)->isChecked())
            value.options += QString::number(option);
    }
    value.url = row.url->text().trimmed();
    value.token = row.token->text().trimmed();
    value.chat = row.chat->text().trimmed();
    value.api = row.api->text().trimmed();
    if (value.api.isEmpty())
        value.api = QLatin1String(deliverytargets::kDefaultTelegramApi);
    return value;
}

void RemoteDeliveryDialog::sendTest(int target)
{
    TargetRow &row = m_rows.at(target - 1);
    row.sendTest->setEnabled(false);
    showAnswer(target, QLatin1String(deliverytexts::kSending), true);
    QCoro::connect(m_delivery.sendTest(this->target(target)), this,
                   [this, target](const RemoteDelivery::TestAnswer &answer) {
                       m_rows.at(target - 1).sendTest->setEnabled(true);
                       showAnswer(target, answer.text, answer.delivered);
                   });
}

void RemoteDeliveryDialog::showAnswer(int target, const QString &text, bool good)
{
    QLabel *answer = m_rows.at(target - 1).answer;
    // A JSON answer has few spaces: it may break after its commas too. What does not fit in the
    // lines kept for it is in the tooltip.
    QString shown = text.size() > kAnswerLimit ? text.left(kAnswerLimit) + QChar(0x2026) : text;
    shown.replace(QLatin1Char(','), QStringLiteral(",\u200b"));
    answer->setText(shown);
    answer->setToolTip(text);
    look::setTextColor(answer, good ? palette().color(QPalette::WindowText) : look::kAlarmRed);
}

void RemoteDeliveryDialog::store()
{
    // An address that is refused stays on screen with the reason; nothing is stored.
    bool refused = false;
    for (int target = 1; target <= deliverytargets::kCount; ++target) {
        const DeliveryTarget value = this->target(target);
        const QString problem = value.on ? deliverytargets::targetProblem(value)
                                : value.address().isEmpty()
                                    ? QString()
                                    : deliverytargets::addressProblem(value.address());
        if (!problem.isEmpty()) {
            showAnswer(target, problem, false);
            refused = true;
        }
    }
    if (refused)
        return;
    const SettingsStore::Batch batch(m_settings);
    for (int target = 1; target <= deliverytargets::kCount; ++target)
        deliverytargets::write(m_settings, target, this->target(target));
    accept();
}
