#pragma once

// Texts the indicator area shows, defined once.
namespace markettexts {

// Caption bar while the selected instrument's record is missing or incomplete.
inline constexpr char kDataBeingUpdated[] = "Data is being updated. Try it in a minute.";
// Between the instrument's name and its price in the caption bar: space, en dash, space.
inline constexpr char16_t kCaptionSeparator[] = u" \u2013 ";

// The data-missing panel, line by line.
inline constexpr char kDataMissingLine1[] =
    "Нет соединения или на сервере по данному инструменту идет обновление данных.";
inline constexpr char kDataMissingLine2[] = "Повторите попытку через несколько секунд.";
// The third line ends with the address of the questions-and-answers section.
inline constexpr char kDataMissingLine3[] =
    "Если сообщение не исчезает, отключите прокси-сервер и добавьте программу в исключения "
    "антивируса и брандмауэра. Ответы на частые вопросы: раздел «Вопросы и ответы» на сайте ";

inline constexpr char kConnecting[] = "Connecting";
inline constexpr char kOnline[] = "Online";
inline constexpr char kOffline[] = "Offline";

inline constexpr char kIndicatorsTab[] = "Indicators";
inline constexpr char kPivotPointsTab[] = "Pivot Points";
inline constexpr char kUpdatingLevels[] = "Updating levels...";

} // namespace markettexts
