#include "ui/navigatorrules.h"

#include "app/catalogue.h"

namespace navigatorrules {

namespace {

// Paging treats each group as one run of indexes; the Indices run is 49-56, without 60 and 61.
constexpr std::array<int, catalogue::kGroupCount> kFirst{0, 28, 43, 49, 57};
constexpr std::array<int, catalogue::kGroupCount> kLast{27, 42, 48, 56, 59};

int pagingGroupOf(int index)
{
    for (int g = 0; g < catalogue::kGroupCount; ++g) {
        if (index >= kFirst[g] && index <= kLast[g])
            return g;
    }
    return kNoGroup;
}

KeyMove pageUp(int s)
{
    const int g = pagingGroupOf(s);
    if (g == kNoGroup || s == 0)
        return {};
    if (s == kFirst[g])
        return {g - 1, kLast[g - 1]};
    return {std::nullopt, kFirst[g]};
}

KeyMove pageDown(int s)
{
    const int g = pagingGroupOf(s);
    if (g == kNoGroup || s == kLast[catalogue::kGroupCount - 1])
        return {};
    if (s == kLast[g])
        return {g + 1, kFirst[g + 1]};
    return {std::nullopt, kLast[g]};
}

KeyMove up(int s)
{
    switch (s) {
    case 0:
        return {};
    case 28:
        return {catalogue::Currencies, 27};
    case 43:
        return {catalogue::Cryptocurrencies, 42};
    case 57:
        return {catalogue::Indices, 56};
    case 60:
        return {catalogue::Commodities, 48};
    case 61:
        return {std::nullopt, 60};
    case 49:
        return {std::nullopt, 61};
    default:
        return {std::nullopt, s - 1};
    }
}

KeyMove down(int s)
{
    switch (s) {
    case 59:
        return {};
    case 27:
        return {catalogue::Cryptocurrencies, 28};
    case 42:
        return {catalogue::Commodities, 43};
    case 48:
        return {catalogue::Indices, 60};
    case 56:
        return {catalogue::Stocks, 57};
    case 61:
        return {std::nullopt, 49};
    default:
        return {std::nullopt, s + 1};
    }
}

} // namespace

std::array<int, 5> headerTops(int openGroup)
{
    const int openRows =
        openGroup == kNoGroup ? 0 : static_cast<int>(catalogue::groupMembers(openGroup).size());
    std::array<int, 5> tops{};
    for (int g = 0; g < catalogue::kGroupCount; ++g)
        tops[g] = g * kHeaderHeight +
                  (openGroup != kNoGroup && g > openGroup ? openRows * kRowHeight : 0);
    return tops;
}

int rowTop(int index)
{
    const int group = catalogue::groupOf(index);
    if (group == catalogue::NoGroup)
        return 0;
    const int position = static_cast<int>(catalogue::groupMembers(group).indexOf(index));
    return headerTops(group)[group] + kHeaderHeight + position * kRowHeight;
}

KeyMove keyMove(Key key, int selected)
{
    switch (key) {
    case Key::Space:
        return {std::nullopt, std::nullopt, true};
    case Key::PageUp:
        return pageUp(selected);
    case Key::PageDown:
        return pageDown(selected);
    case Key::Up:
        return up(selected);
    case Key::Down:
        return down(selected);
    }
    return {};
}

} // namespace navigatorrules
