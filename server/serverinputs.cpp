#include "serverinputs.h"

#include "documents/articlefolder.h"
#include "market/csvcandles.h"

ServerInputs loadServerInputs(const ServerOptions &options)
{
    ServerInputs inputs;
    inputs.market.seed = options.seed;
    inputs.content.notice = options.notice;
    if (!options.candlesFolder.isEmpty()) {
        CandleFolder folder = readCandleFolder(options.candlesFolder);
        if (!folder.error.isEmpty()) {
            inputs.error = folder.error;
            return inputs;
        }
        inputs.market.candleFiles = std::move(folder.files);
    }
    if (!options.calendarFile.isEmpty()) {
        inputs.content.calendarEvents = readCalendarFile(options.calendarFile, &inputs.error);
        if (!inputs.error.isEmpty())
            return inputs;
    }
    if (!options.articlesFolder.isEmpty()) {
        ArticleFolder folder = readArticleFolder(options.articlesFolder);
        if (!folder.error.isEmpty()) {
            inputs.error = folder.error;
            return inputs;
        }
        inputs.content.news = std::move(folder.news);
        inputs.content.reviews = std::move(folder.reviews);
    }
    return inputs;
}
