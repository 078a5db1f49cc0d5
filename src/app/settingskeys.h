#pragma once

// Every settings key the program stores, defined once. Values are text; their stored forms
// are binding because earlier installations and the companion program read the same store.
namespace settingskeys {

inline constexpr char kApplication[] = "Quentara 1.5";
inline constexpr char kSettings[] = "Settings";
inline constexpr char kInstrumentsChecked[] = "InstrumentsChecked";

// Section "Settings".
inline constexpr char kMethod[] = "Method";
inline constexpr char kFilter1[] = "Filter1"; // option 3
inline constexpr char kFilter2[] = "Filter2"; // option 2
inline constexpr char kFilter3[] = "Filter3"; // option 1
inline constexpr char kSound[] = "Sound";
inline constexpr char kTraySignal[] = "TraySignal";
inline constexpr char kAlwaysTop[] = "AlwaysTop";
inline constexpr char kMinToTray[] = "MinToTray";
inline constexpr char kMinClose[] = "MinClose";
inline constexpr char kAskConnectMethod[] = "AskConnectMethod";
inline constexpr char kConnectMethod[] = "ConnectMethod";
inline constexpr char kSaveLog[] = "SaveLog";
inline constexpr char kLogPath[] = "LogPath"; // terminal folder 1; 2-5 are "LogPath2".."LogPath5"
inline constexpr char kGmt[] = "GMT";
inline constexpr char kNewsImp[] = "NewsImp";
inline constexpr char kCompactMode[] = "CompactMode";
inline constexpr char kSplit[] = "Split";
inline constexpr char kInstrumentsSelected[] = "InstrumentsSelected";
inline constexpr char kTips[] = "Tips";
inline constexpr char kTipSignals[] = "TipSignals";

inline constexpr int kTerminalFolderCount = 5;

// Signal configurator: "v1".."v3" hold the calculation basis of options 1-3, and
// "v" + option + "-" + timeframe + direction the condition code, e.g. "v2-h4sell".
inline constexpr char kSignalConfigPrefix[] = "v";
inline constexpr const char *kTimeframeKeys[] = {"m1", "m5", "m15", "m30", "h1", "h4", "d1"};
inline constexpr char kBuyKey[] = "buy";
inline constexpr char kSellKey[] = "sell";

// Section "Delivery": remote targets 1-3 that delivered signals are also sent to. Each key is
// "Target" + n + field, e.g. "Target2Token".
inline constexpr char kDelivery[] = "Delivery";
inline constexpr char kTargetPrefix[] = "Target";
inline constexpr char kTargetKind[] = "Kind";       // "webhook", "telegram" or "discord"
inline constexpr char kTargetUrl[] = "Url";         // webhook or Discord webhook address
inline constexpr char kTargetToken[] = "Token";     // Telegram bot token
inline constexpr char kTargetChat[] = "Chat";       // Telegram chat id or "@channel"
inline constexpr char kTargetApi[] = "Api";         // Telegram Bot API address
inline constexpr char kTargetOptions[] = "Options"; // digits of "123"
inline constexpr char kTargetOn[] = "On";           // flag
inline constexpr int kDeliveryTargetCount = 3;

} // namespace settingskeys
