#pragma once

#include <QString>

// The documents the program takes from its signal server, as paths under the base address,
// with the file name each fetch is known by.
namespace serverpaths {

struct Document
{
    const char *path;
    const char *fileName;
};

inline constexpr Document kTradingFlag{"signals/-cantrade_xml.php", "-cantrade_xml.php"};
inline constexpr Document kCalendar{"signals/calendar_1.5_eng.xml", "calendar_1.5_eng.xml"};
inline constexpr Document kReviewsList{"signals/reviews_eng/list.xml", "list.xml"};
inline constexpr Document kNewsList{"signals/news_eng/list.xml", "list.xml"};
inline constexpr Document kLinkList{"signals/urls.xml", "urls.xml"};
inline constexpr Document kNotice{"message.xml", "message.xml"};

// Base address plus path, surrounding blanks removed.
QString documentUrl(const QString &baseAddress, const Document &document);
QString fileName(const Document &document);

// Instrument records are used exactly as composed: base + "signals/" + code + ".xml".
QString instrumentUrl(const QString &baseAddress, const QString &serverCode);
QString instrumentFileName(const QString &serverCode);

} // namespace serverpaths
