#include "live/feeds.h"

#include "market/csvfields.h"
#include "market/market.h"
#include "sources/sourcenames.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QUrl>

#include <optional>

namespace {

using namespace sourcenames;

enum class Section
{
    None,
    Sources,
    Instruments,
};

constexpr int kLowestOffset = -12;
constexpr int kHighestOffset = 14;

bool isHttpAddress(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

std::optional<int> offsetHours(const QString &text)
{
    static const QRegularExpression kForm(QStringLiteral("^[+-]?\\d{1,2}$"));
    if (!kForm.match(text).hasMatch())
        return std::nullopt;
    const int hours = text.toInt();
    if (hours < kLowestOffset || hours > kHighestOffset)
        return std::nullopt;
    return hours;
}

bool isSymbol(const QString &text)
{
    static const QRegularExpression kForm(QStringLiteral("^[A-Za-z0-9._\\-/]{1,40}$"));
    return kForm.match(text).hasMatch();
}

bool knownSource(const QString &name)
{
    for (const char *known : {kBinance, kDukascopy, kOanda, kTerminal, kDerived, kNone}) {
        if (name == QLatin1String(known))
            return true;
    }
    return false;
}

class FeedsParser
{
public:
    explicit FeedsParser(const QString &path)
        : m_path(path)
    {
        m_outcome.feeds = defaultFeeds();
    }

    FeedsOutcome run(const QString &text)
    {
        QString content = text;
        if (content.startsWith(QChar(0xFEFF)))
            content.remove(0, 1);
        const QStringList lines = content.split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size() && m_outcome.error.isEmpty(); ++i)
            line(i + 1, lines[i].trimmed());
        if (m_outcome.error.isEmpty())
            checkSettingsInUse();
        return m_outcome;
    }

private:
    void fail(int lineNumber, const QString &what)
    {
        if (m_outcome.error.isEmpty())
            m_outcome.error = fileLineError(m_path, lineNumber, what);
    }

    void line(int number, const QString &text)
    {
        if (text.isEmpty() || text.startsWith(QLatin1Char(';')) ||
            text.startsWith(QLatin1Char('#')))
            return;
        if (text.startsWith(QLatin1Char('['))) {
            if (!text.endsWith(QLatin1Char(']'))) {
                fail(number, QStringLiteral("a section is written [sources] or [instruments]"));
                return;
            }
            const QString name = text.mid(1, text.size() - 2).trimmed().toLower();
            if (name == QLatin1String("sources"))
                m_section = Section::Sources;
            else if (name == QLatin1String("instruments"))
                m_section = Section::Instruments;
            else
                fail(number, QStringLiteral("unknown section [%1]: the feeds file has [sources] "
                                            "and [instruments]")
                                 .arg(name));
            return;
        }
        const qsizetype equals = text.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            fail(number, QStringLiteral("expected key = value, not \"%1\"").arg(text));
            return;
        }
        const QString key = text.left(equals).trimmed();
        const QString value = text.mid(equals + 1).trimmed();
        if (m_section == Section::None) {
            fail(number, QStringLiteral("\"%1\" comes before [sources] or [instruments]").arg(key));
            return;
        }
        const QString seenKey = (m_section == Section::Sources ? QStringLiteral("sources/")
                                                               : QStringLiteral("instruments/")) +
                                key;
        if (const auto seen = m_seen.constFind(seenKey); seen != m_seen.constEnd()) {
            fail(number,
                 QStringLiteral("%1 is given twice (first on line %2)").arg(key).arg(*seen));
            return;
        }
        m_seen.insert(seenKey, number);
        if (m_section == Section::Sources)
            source(number, key, value);
        else
            instrument(number, key, value);
    }

    void address(int number, const QString &key, const QString &value, QString &target)
    {
        if (!isHttpAddress(value)) {
            fail(number,
                 QStringLiteral("%1 needs an http or https address, not \"%2\"").arg(key, value));
            return;
        }
        target = value;
    }

    void source(int number, const QString &key, const QString &value)
    {
        SourceSettings &sources = m_outcome.feeds.sources;
        if (key == QLatin1String(kBinance)) {
            address(number, key, value, sources.binance);
        } else if (key == QLatin1String(kDukascopy)) {
            address(number, key, value, sources.dukascopy);
        } else if (key == QLatin1String(kOanda)) {
            address(number, key, value, sources.oanda);
        } else if (key == QLatin1String("oanda-token")) {
            if (value.contains(QLatin1Char(' ')))
                fail(number, QStringLiteral("oanda-token holds no spaces"));
            sources.oandaToken = value;
        } else if (key == QLatin1String(kTerminal)) {
            sources.terminal = value;
        } else if (key == QLatin1String("terminal-offset")) {
            const std::optional<int> hours = offsetHours(value);
            if (!hours)
                fail(number, QStringLiteral("terminal-offset needs whole hours from %1 to +%2 "
                                            "(the broker's clock ahead of GMT), not \"%3\"")
                                 .arg(kLowestOffset)
                                 .arg(kHighestOffset)
                                 .arg(value));
            else
                sources.terminalOffsetHours = *hours;
        } else {
            fail(number, QStringLiteral("unknown source setting \"%1\": [sources] knows binance, "
                                        "dukascopy, oanda, oanda-token, terminal and "
                                        "terminal-offset")
                             .arg(key));
        }
    }

    void instrument(int number, const QString &key, const QString &value)
    {
        const bool euroSek = key == QLatin1String(kEuroSekKey);
        const int index = instrumentIndex(key);
        if (index < 0 && !euroSek) {
            fail(number, QStringLiteral("no instrument has the server code \"%1\"").arg(key));
            return;
        }
        const qsizetype colon = value.indexOf(QLatin1Char(':'));
        const QString name = (colon < 0 ? value : value.left(colon)).trimmed();
        QString symbol = colon < 0 ? QString() : value.mid(colon + 1).trimmed();
        if (!knownSource(name)) {
            fail(number, QStringLiteral("unknown source \"%1\": one of binance, dukascopy, oanda, "
                                        "terminal, derived or none")
                             .arg(name));
            return;
        }
        const bool isExy = key == QLatin1String("exy");
        if (name == QLatin1String(kDerived) && !isExy) {
            fail(number, QStringLiteral("only the euro index (exy) is derived"));
            return;
        }
        if ((name == QLatin1String(kNone) || name == QLatin1String(kDerived)) && colon >= 0) {
            fail(number, QStringLiteral("%1 takes no symbol").arg(name));
            return;
        }
        const Feed builtIn =
            euroSek ? defaultFeeds().euroSek : defaultFeeds().instruments[size_t(index)];
        if (symbol.isEmpty() && name == builtIn.source)
            symbol = builtIn.symbol;
        if (symbol.isEmpty() && name == QLatin1String(kTerminal))
            symbol = key;
        const bool needsSymbol = name != QLatin1String(kNone) && name != QLatin1String(kDerived);
        if (needsSymbol && symbol.isEmpty()) {
            fail(number,
                 QStringLiteral("%1 needs its symbol there: %2 = %1:SYMBOL").arg(name, key));
            return;
        }
        if (needsSymbol && !isSymbol(symbol)) {
            fail(number, QStringLiteral("\"%1\" is not a symbol").arg(symbol));
            return;
        }
        Feed &feed = euroSek ? m_outcome.feeds.euroSek : m_outcome.feeds.instruments[size_t(index)];
        feed = Feed{name, needsSymbol ? symbol : QString()};
        m_lineOf.insert(key, number);
    }

    // A source that needs a setting complains at the first instrument that uses it.
    void checkSettingsInUse()
    {
        const Feeds &feeds = m_outcome.feeds;
        for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
            const QString code = catalogue::serverCode(index);
            const Feed &feed = feeds.instruments[size_t(index)];
            const int number = m_lineOf.value(code, 0);
            if (feed.source == QLatin1String(kOanda) && feeds.sources.oandaToken.isEmpty())
                fail(number, QStringLiteral("%1 = oanda needs oanda-token in [sources]").arg(code));
            if (feed.source == QLatin1String(kTerminal) && feeds.sources.terminal.isEmpty())
                fail(number, QStringLiteral("%1 = terminal needs the terminal's folder in "
                                            "[sources]: terminal = FOLDER")
                                 .arg(code));
        }
    }

    QString m_path;
    FeedsOutcome m_outcome;
    Section m_section = Section::None;
    QHash<QString, int> m_seen;
    QHash<QString, int> m_lineOf;
};

QString feedValue(const Feed &feed)
{
    return feed.symbol.isEmpty() ? feed.source : feed.source + QLatin1Char(':') + feed.symbol;
}

} // namespace

FeedsOutcome parseFeeds(const QString &text, const QString &path)
{
    return FeedsParser(path).run(text);
}

FeedsOutcome readFeedsFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        FeedsOutcome outcome;
        outcome.error =
            QStringLiteral("%1: cannot read the feeds file: %2").arg(path, file.errorString());
        return outcome;
    }
    return parseFeeds(QString::fromUtf8(file.readAll()), path);
}

QString feedsText(const Feeds &feeds)
{
    const SourceSettings &sources = feeds.sources;
    QStringList lines;
    lines << QStringLiteral("; quentara-server feeds: where each source is reached and which "
                            "source feeds each instrument")
          << QStringLiteral("[sources]") << QStringLiteral("binance = ") + sources.binance
          << QStringLiteral("dukascopy = ") + sources.dukascopy
          << QStringLiteral("oanda = ") + sources.oanda;
    if (!sources.oandaToken.isEmpty())
        lines << QStringLiteral("; oanda-token is set and not shown");
    lines << QStringLiteral("oanda-token =")
          << (sources.terminal.isEmpty() ? QStringLiteral("terminal =")
                                         : QStringLiteral("terminal = ") + sources.terminal)
          << QStringLiteral("terminal-offset = %1%2")
                 .arg(sources.terminalOffsetHours < 0 ? QString() : QStringLiteral("+"))
                 .arg(sources.terminalOffsetHours)
          << QStringLiteral("[instruments]");
    for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
        lines << catalogue::serverCode(index) + QStringLiteral(" = ") +
                     feedValue(feeds.instruments[size_t(index)]);
    }
    lines << QStringLiteral("; EUR/SEK is not published: the euro index needs it")
          << QLatin1String(kEuroSekKey) + QStringLiteral(" = ") + feedValue(feeds.euroSek);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
