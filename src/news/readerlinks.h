#pragma once

#include <QUrl>

// Where an address the news reader is asked to show goes. The reader shows the article's site as
// a plain browser would; an address off the site goes to the default browser only when the user
// clicked it, and only for the web's own schemes, so a page can neither open browser tabs by
// itself nor reach the desktop's other protocol handlers.
namespace readerlinks {

enum class Route
{
    Stay,     // shown in the reader
    HandOver, // opened in the default browser
    Drop,     // not followed at all
};

// `target`: the address asked for in the reader's main frame; `article`: the article it shows;
// `userClicked`: the user clicked (or pressed Enter on) what asked for it.
Route route(const QUrl &target, const QUrl &article, bool userClicked);

} // namespace readerlinks
