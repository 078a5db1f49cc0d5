// The news and review lists' parser: any list text, any present moment.
#include "fuzzinput.h"
#include "fuzzmoment.h"

#include "news/articlelist.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const QDateTime now = fuzzmoment::now(input);
    const QLocale locale = fuzzmoment::locale(input);
    const std::vector<char> rest = input.ConsumeRemainingBytes<char>();
    const QString text = QString::fromUtf8(rest.data(), qsizetype(rest.size()));

    // Every row keeps the number of its own line, so its "Read more" opens its own article.
    const QList<articlelist::Row> rows = articlelist::parse(text, now, locale);
    const QStringList lines = text.split(u'\n');
    int previous = 0;
    for (const articlelist::Row &row : rows) {
        FUZZ_CHECK(row.number > previous && row.number < lines.size());
        FUZZ_CHECK(lines.at(row.number - 1).section(u';', 1, 1) == row.headline);
        previous = row.number;
        FUZZ_CHECK(articlelist::articleUrl(QStringLiteral("https://example.test/"),
                                           articlelist::Kind::News, row.number)
                       .isValid());
    }
    return 0;
}
