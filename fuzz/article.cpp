// Article files: any file content. An article taken is published as a page any XML reader reads
// and as one line of its list, which the program reads back with its own headline and number.
#include "fuzzinput.h"

#include "documents/articlefolder.h"
#include "documents/articles.h"
#include "documents/xmldocument.h"
#include "market/minutes.h"
#include "market/serverdocument.h"
#include "news/articlelist.h"

#include <QXmlStreamReader>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QString error;
    const std::optional<Article> article =
        parseArticle(QStringLiteral("news/1.txt"), fuzzinput::bytes(data, size), &error);
    FUZZ_CHECK(article.has_value() == error.isEmpty());
    if (!article)
        return 0;

    QXmlStreamReader page(articlePage(*article, QStringLiteral("News feed")));
    while (!page.atEnd())
        page.readNext();
    FUZZ_CHECK(!page.hasError());

    const std::optional<QString> list =
        serverDocumentPayload(dataDocument(articleListText({*article})));
    FUZZ_CHECK(list.has_value());
    const QList<articlelist::Row> rows =
        articlelist::parse(*list, momentOf(article->minute), QLocale::c());
    FUZZ_CHECK(rows.size() == 1);
    FUZZ_CHECK(rows.front().number == 1);
    FUZZ_CHECK(rows.front().headline == fuzzinput::carriedByXml(article->headline));
    return 0;
}
