#include "signals/deliverytarget.h"

#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "app/storedforms.h"
#include "signals/deliverytexts.h"

#include <QHostAddress>
#include <QUrl>

namespace deliverytargets {

namespace {

struct KindName
{
    DeliveryTarget::Kind kind;
    const char *text;
};
constexpr KindName kKindNames[] = {
    {DeliveryTarget::Kind::Webhook, "webhook"},
    {DeliveryTarget::Kind::Telegram, "telegram"},
    {DeliveryTarget::Kind::Discord, "discord"},
};

QString readKey(const SettingsStore &settings, int target, const char *field,
                const QString &defaultValue = {})
{
    return settings.read(QLatin1String(settingskeys::kDelivery), key(target, field), defaultValue);
}

// Digits of "123" in that order; anything else is not a stored options value.
bool isOptionsText(const QString &text)
{
    for (const QChar c : text) {
        if (!QLatin1String(kAllOptions).contains(c))
            return false;
    }
    return true;
}

bool isLoopback(const QString &host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

} // namespace

QString kindText(DeliveryTarget::Kind kind)
{
    for (const KindName &name : kKindNames) {
        if (name.kind == kind)
            return QLatin1String(name.text);
    }
    return {};
}

QString key(int target, const char *field)
{
    return QLatin1String(settingskeys::kTargetPrefix) + QString::number(target) +
           QLatin1String(field);
}

DeliveryTarget read(const SettingsStore &settings, int target)
{
    DeliveryTarget value;
    const QString kind = readKey(settings, target, settingskeys::kTargetKind);
    for (const KindName &name : kKindNames) {
        if (kind == QLatin1String(name.text))
            value.kind = name.kind;
    }
    value.url = readKey(settings, target, settingskeys::kTargetUrl);
    value.token = readKey(settings, target, settingskeys::kTargetToken);
    value.chat = readKey(settings, target, settingskeys::kTargetChat);
    value.api = readKey(settings, target, settingskeys::kTargetApi);
    if (value.api.isEmpty())
        value.api = QLatin1String(kDefaultTelegramApi);
    value.options =
        readKey(settings, target, settingskeys::kTargetOptions, QLatin1String(kAllOptions));
    if (!isOptionsText(value.options))
        value.options = QLatin1String(kAllOptions);
    value.on = storedforms::parseNumber(readKey(settings, target, settingskeys::kTargetOn)) == 1;
    return value;
}

void write(SettingsStore &settings, int target, const DeliveryTarget &value)
{
    const SettingsStore::Batch batch(settings);
    const QString section = QLatin1String(settingskeys::kDelivery);
    QString options;
    for (const QChar c : QLatin1String(kAllOptions)) {
        if (value.options.contains(c))
            options += c;
    }
    settings.write(section, key(target, settingskeys::kTargetKind), kindText(value.kind));
    settings.write(section, key(target, settingskeys::kTargetUrl), value.url);
    settings.write(section, key(target, settingskeys::kTargetToken), value.token);
    settings.write(section, key(target, settingskeys::kTargetChat), value.chat);
    settings.write(section, key(target, settingskeys::kTargetApi), value.api);
    settings.write(section, key(target, settingskeys::kTargetOptions), options);
    settings.write(section, key(target, settingskeys::kTargetOn), storedforms::flagText(value.on));
}

QString addressProblem(const QString &address)
{
    if (address.trimmed().isEmpty())
        return QLatin1String(deliverytexts::kNoAddress);
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.isRelative() || url.host().isEmpty())
        return QLatin1String(deliverytexts::kNotAnAddress);
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return {};
    if (scheme == QLatin1String("http") && isLoopback(url.host()))
        return {};
    return QLatin1String(deliverytexts::kNotHttps);
}

QString targetProblem(const DeliveryTarget &target)
{
    if (target.kind == DeliveryTarget::Kind::Telegram) {
        if (target.token.trimmed().isEmpty())
            return QLatin1String(deliverytexts::kNoToken);
        if (target.chat.trimmed().isEmpty())
            return QLatin1String(deliverytexts::kNoChat);
    }
    return addressProblem(target.address());
}

} // namespace deliverytargets

bool DeliveryTarget::receives(const QString &option) const
{
    return on && option.size() == 1 && options.contains(option);
}

QString DeliveryTarget::address() const
{
    return kind == Kind::Telegram ? api : url;
}
