#pragma once

// Texts of remote delivery, defined once: what the dialog shows and what standard error says.
namespace deliverytexts {

// The option menu's item and the dialog's title.
inline constexpr char kMenuItem[] = "Remote delivery...";
inline constexpr char kTitle[] = "Remote delivery";
inline constexpr char kIntro[] =
    "Delivered signals can also go to up to three places: a webhook of your own, a Telegram chat "
    "through your bot, or a Discord channel's webhook. Addresses must be https (http only to this "
    "computer).";

inline constexpr char kTarget[] = "Target %1";
inline constexpr char kOn[] = "On";
inline constexpr char kKind[] = "Kind:";
inline constexpr char kWebhook[] = "Webhook";
inline constexpr char kTelegram[] = "Telegram";
inline constexpr char kDiscord[] = "Discord";
inline constexpr char kOptions[] = "Options:";
inline constexpr char kAddress[] = "Address:";
inline constexpr char kToken[] = "Bot token:";
inline constexpr char kChat[] = "Chat:";
inline constexpr char kApi[] = "API address:";
inline constexpr char kWebhookHint[] =
    "Each signal is sent as JSON: id, time, direction, instrument, symbol, option and price, with "
    "an Idempotency-Key header equal to the id.";
inline constexpr char kDiscordHint[] =
    "The webhook address of a channel: in Discord, Edit Channel, Integrations, Webhooks, Copy "
    "Webhook URL.";
inline constexpr char kSendTest[] = "Send test";
inline constexpr char kSending[] = "Sending...";
inline constexpr char kOk[] = "OK";
inline constexpr char kCancel[] = "Cancel";

// Why a target cannot send.
inline constexpr char kNoAddress[] = "An address is needed.";
inline constexpr char kNotAnAddress[] = "This is not a web address.";
inline constexpr char kNotHttps[] =
    "The address must start with https:// (http only to this computer).";
inline constexpr char kNoToken[] = "A bot token is needed.";
inline constexpr char kNoChat[] = "A chat is needed.";

// The answer to a send: "HTTP 200 OK: {"ok":true,...}", or the error.
inline constexpr char kAnswer[] = "HTTP %1 %2";
inline constexpr char kError[] = "Error: %1";
inline constexpr char kNoAnswerInTime[] = "no answer in time";

// What a test send says, so that nobody takes it for a signal.
inline constexpr char kTestText[] = "Quentara: a test of remote delivery, not a signal.";

// One line on standard error each.
inline constexpr char kDropped[] =
    "Remote delivery: %1 to target %2 (%3) dropped after %4 attempts: %5";
inline constexpr char kDroppedLate[] =
    "Remote delivery: %1 to target %2 (%3) dropped, over an hour late";
inline constexpr char kRefused[] = "Remote delivery: %1 to target %2 (%3) not sent: %4";

} // namespace deliverytexts
