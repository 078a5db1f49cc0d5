#include "signals/signalengine.h"

#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "app/trayoptions.h"
#include "market/indicatorgrid.h"
#include "signals/deliveredsignal.h"
#include "signals/exportfiles.h"
#include "signals/signalcheck.h"
#include "signals/signaloutput.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

// The user's long time format without its time zone, which would crowd the narrow column.
QString longTimeText(const QTime &time)
{
    const QLocale locale;
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("(^|\\s+)t+(?=\\s|$)")));
    return locale.toString(time, format.trimmed());
}

} // namespace

SignalEngine::SignalEngine(const SettingsStore &settings, const TrayOptions &options,
                           SignalOutput &output, Clock clock)
    : m_settings(settings)
    , m_options(options)
    , m_output(output)
    , m_clock(std::move(clock))
{}

void SignalEngine::checkSignal(const IndicatorGrid &grid, SignalMemory &memory,
                               const QString &signalName)
{
    const MethodTicks methods{m_options.isTicked(TrayOptions::Method1),
                              m_options.isTicked(TrayOptions::Method2)};
    const SignalCheck check = ::checkSignal(SummaryRows::of(grid), signalconfig::read(m_settings),
                                            methods, memory, signalName, m_clock.now().time());
    const QString price = grid.text(IndicatorGrid::kPriceRow, IndicatorGrid::kPriceColumn);
    for (const Signal &signal : check.raised)
        sendsignal(signal, price);
    memory = check.memory;
}

void SignalEngine::sendsignal(const Signal &signal, const QString &priceText)
{
    if (!m_options.isTicked(TrayOptions::filterOf(signal.option.toInt())))
        return;
    // The list shows the moment of delivery.
    const QDateTime now = m_clock.now();
    m_output.addToList(longTimeText(now.time()), signal);
    if (m_settings.readFlag(settingskeys::kSaveLog))
        exportfiles::exportSignal(m_settings, signal.direction, signal.instrument, signal.option);
    if (m_options.isTicked(TrayOptions::Sound))
        m_output.playSound();
    if (m_options.isTicked(TrayOptions::TraySignal))
        m_output.showAlert(signal.text(), signal.option);
    if (m_recipients.isEmpty())
        return;
    // The menu ticks one method at a time.
    const int method = m_options.isTicked(TrayOptions::Method1) ? 1 : 2;
    const DeliveredSignal delivered{signal, now, method, priceText};
    for (SignalRecipient *recipient : m_recipients)
        recipient->receive(delivered);
}

void SignalEngine::addRecipient(SignalRecipient *recipient)
{
    m_recipients.append(recipient);
}
