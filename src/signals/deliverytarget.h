#pragma once

#include <QString>

class SettingsStore;

// One remote place delivered signals are sent to: a webhook, a Telegram chat through a bot, or
// a Discord channel's webhook.
struct DeliveryTarget
{
    enum class Kind
    {
        Webhook,
        Telegram,
        Discord,
    };

    Kind kind = Kind::Webhook;
    QString url;   // webhook and Discord
    QString token; // Telegram bot token
    QString chat;  // Telegram chat id or "@channel"
    QString api;   // Telegram Bot API address
    QString options;
    bool on = false;

    // Whether signals of the option ("1"-"3") go here: the target is on and takes the option.
    bool receives(const QString &option) const;
    // The address a send goes to the host of: the API address for Telegram, else the URL.
    QString address() const;

    friend bool operator==(const DeliveryTarget &, const DeliveryTarget &) = default;
};

namespace deliverytargets {

inline constexpr int kCount = 3;
inline constexpr char kDefaultTelegramApi[] = "https://api.telegram.org";
inline constexpr char kAllOptions[] = "123";

QString kindText(DeliveryTarget::Kind kind); // "webhook", "telegram", "discord"

// Target n (1-3) of section "Delivery". A stored value that cannot be used reads as the default:
// a webhook, every option, off, Telegram's own API address.
DeliveryTarget read(const SettingsStore &settings, int target);
void write(SettingsStore &settings, int target, const DeliveryTarget &value);
// "Target" + n + field, e.g. "Target2Token".
QString key(int target, const char *field);

// Why an address cannot be sent to, or empty when it can: an absolute https address, or http to
// this machine (local bots, tests). Anything else could carry a token in the clear.
QString addressProblem(const QString &address);
// Why a target cannot send: a missing address, token or chat, or an address refused above.
QString targetProblem(const DeliveryTarget &target);

} // namespace deliverytargets
