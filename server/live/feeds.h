#pragma once

#include "sources/sourcesettings.h"

#include "app/catalogue.h"

#include <QString>

#include <array>

// Which source feeds one instrument, and its symbol there ("binance", "BTCUSDT").
struct Feed
{
    QString source;
    QString symbol;
    bool operator==(const Feed &other) const = default;
};

// Every instrument's feed and the sources' settings: the built-in mapping with the keyless
// sources, as far as a feeds file overrides it.
struct Feeds
{
    SourceSettings sources;
    std::array<Feed, catalogue::kInstrumentCount> instruments; // by navigator index
    // EUR/SEK is not an instrument of its own, but one of the euro index's constituents.
    Feed euroSek;
};

// The key of the euro index's extra constituent in [instruments].
inline constexpr char kEuroSekKey[] = "eursek";

// The built-in mapping: crypto on binance against USDT; forex pairs, metals, energy, stock
// indices, the dollar index and the shares on dukascopy; the euro index derived; USD/RUB and
// EUR/RUB without a keyless source.
Feeds defaultFeeds();

struct FeedsOutcome
{
    Feeds feeds;
    QString error; // "<file>:<line>: <what>" for the first bad line; empty when the file is good
};

// The built-in mapping with a feeds file's overrides: INI, sections [sources] and [instruments],
// `key = value` lines, every key optional; lines starting with ";" or "#" are comments.
FeedsOutcome readFeedsFile(const QString &path);
// The same from text, `path` naming it in complaints.
FeedsOutcome parseFeeds(const QString &text, const QString &path);

// The mapping in effect, in the feeds file's own format (what --print-feeds shows). The oanda
// token is never written out.
QString feedsText(const Feeds &feeds);
