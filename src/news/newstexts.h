#pragma once

// What the news panel and the news window say to the user, defined once (UTF-8).
namespace newstexts {

inline constexpr char kCalendarTab[] = "Economic calendar";
inline constexpr char kFeedTab[] = "News feed";
inline constexpr char kReviewTab[] = "Market review";
inline constexpr char kCalendarTitle[] = "Events of the current week";
inline constexpr char kTimezone[] = "Timezone:";
inline constexpr char kImportance[] = "Importance:";
inline constexpr char kUpdating[] = "Обновление...";

inline constexpr char kDateHeader[] = "Date";
inline constexpr char kCountryHeader[] = "Country";
inline constexpr char kImportanceHeader[] = "Importance";
inline constexpr char kEventHeader[] = "Event";
inline constexpr char kReadMore[] = "Read more >>>";

inline constexpr char kReaderCaption[] = "Новости и аналитика";
inline constexpr char kReaderTitle[] = "News";
inline constexpr char kReaderLoading[] = "Loading";

} // namespace newstexts
