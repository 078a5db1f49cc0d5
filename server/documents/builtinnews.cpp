#include "documents/builtinnews.h"

#include <array>

namespace {

struct Story
{
    int minutesAgo;
    const char *headline;
    std::array<const char *, 3> paragraphs; // unused ones are nullptr
};

// clang-format off
constexpr std::array kStories{
    Story{18, "Dollar holds steady as traders wait for the payrolls report",
          {"The dollar traded in a narrow range against the other major currencies as dealers "
           "avoided large positions ahead of the monthly employment figures.",
           "Short-term volatility measures remain below their monthly average, a sign that the "
           "market expects the report to confirm the current picture rather than change it.",
           "Analysts point out that a surprise in wage growth would matter more for rate "
           "expectations than the headline number of new jobs."}},
    Story{47, "Euro slips after weaker factory surveys",
          {"The single currency gave up part of its weekly gain after purchasing managers' surveys "
           "showed manufacturing activity shrinking for another month.",
           "Services held up better, which kept the composite reading close to the line that "
           "separates growth from contraction.",
           nullptr}},
    Story{95, "Gold extends its advance as real yields ease",
          {"Gold rose for a third session, supported by lower inflation-adjusted bond yields and "
           "steady buying from investors looking for protection.",
           "Traders watch the previous high closely: a daily close above it would open the way "
           "for trend-following funds to add to their positions.",
           nullptr}},
    Story{150, "Oil prices swing on mixed inventory data",
          {"Crude oil changed direction several times during the session after weekly figures "
           "showed a draw in crude stocks but a build in gasoline inventories.",
           "Brent and WTI kept their spread almost unchanged, suggesting that the moves were driven "
           "by positioning rather than by a change in the supply outlook.",
           nullptr}},
    Story{230, "Yen weakens as the rate gap stays wide",
          {"The Japanese currency lost ground against the dollar and the euro as the difference "
           "between domestic and overseas interest rates continued to favour carry trades.",
           "Market participants remain alert to the possibility of official comments on the "
           "currency's pace of decline, which have calmed similar moves in the past.",
           nullptr}},
    Story{320, "Bitcoin steadies after a volatile weekend",
          {"Bitcoin recovered part of the losses of a sharp weekend sell-off as buying returned "
           "during European trading hours.",
           "Trading volumes on the major exchanges stayed high, and other large coins followed "
           "Bitcoin's moves closely, as they usually do in busy sessions.",
           "Options markets show demand for protection against further declines, although less "
           "than at the height of the sell-off."}},
    Story{410, "Sterling firm after strong retail sales",
          {"The pound rose against the dollar and the euro after retail sales grew faster than "
           "expected, helped by warmer weather and promotions.",
           "The figures reduce the chance of an early rate cut, a view that was also reflected in "
           "short-dated government bond yields.",
           nullptr}},
    Story{540, "Stock indices near record levels as earnings beat forecasts",
          {"Major stock indices traded close to their record highs as most companies reporting "
           "this week exceeded analysts' profit estimates.",
           "Technology shares led the gains, while defensive sectors lagged, a pattern typical of "
           "markets with improving risk appetite.",
           nullptr}},
    Story{690, "Australian dollar tracks commodity prices lower",
          {"The Australian dollar eased together with metal prices after softer industrial "
           "figures from its largest trading partner.",
           "The currency's correlation with copper and iron ore has strengthened in recent "
           "weeks, making commodity markets a useful guide for its next moves.",
           nullptr}},
    Story{860, "Natural gas jumps on weather forecasts",
          {"Natural gas futures rose sharply as updated forecasts pointed to higher than usual "
           "temperatures and stronger demand for power generation.",
           "Storage levels remain comfortable, so several analysts expect the rally to fade "
           "unless the forecasts turn even warmer.",
           nullptr}},
    Story{1080, "Central bank minutes show a divided committee",
          {"Minutes of the latest policy meeting showed that members disagreed on how long rates "
           "should stay at their current level.",
           "Some members wanted more evidence that inflation is slowing for good, while others "
           "warned that keeping policy tight for too long could hurt employment.",
           "Currency markets reacted little, as the division had largely been expected."}},
    Story{1320, "Swiss franc in demand as markets turn cautious",
          {"The Swiss franc strengthened against the euro as investors reduced risk ahead of the "
           "weekend and a busy calendar of central bank decisions.",
           "The move was orderly, and the pair stayed within the range it has traded in for most "
           "of the month.",
           nullptr}},
};
// clang-format on

} // namespace

QList<Article> builtInNews(qint64 minute)
{
    QList<Article> articles;
    for (const Story &story : kStories) {
        Article article;
        article.minute = minute - story.minutesAgo;
        article.headline = QLatin1String(story.headline);
        for (const char *paragraph : story.paragraphs) {
            if (paragraph)
                article.paragraphs << QLatin1String(paragraph);
        }
        articles << article;
    }
    sortNewestFirst(articles);
    return articles;
}
