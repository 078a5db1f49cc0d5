#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The window's colours and fonts, named once.
namespace look {

inline constexpr QColor kTitleBlue{0x00, 0x67, 0xC4};    // title bars, link text
inline constexpr QColor kPanelBlue{0x29, 0x8F, 0xCC};    // panel title bars, active tabs, selection
inline constexpr QColor kInactiveGrey{0x80, 0x80, 0x80}; // inactive tabs, the splitter strip
inline constexpr QColor kHoverOrange{0xFF, 0xA8, 0x00};  // link text under the pointer
inline constexpr QColor kAccentOrange{0xFC, 0x9B, 0x0B}; // the selection bar
inline constexpr QColor kEnabledGreen{0x00, 0xC0, 0x00}; // a switched-on instrument
inline constexpr QColor kTipYellow{0xFF, 0xFA, 0xDF};    // help tips
inline constexpr QColor kDarkRed{0x80, 0x00, 0x00};      // "Скрыть"
inline constexpr QColor kWindowGrey{0xEE, 0xF2, 0xF6};   // the window between its panels

// Arial (Liberation Sans where Arial is missing) at the given size.
QFont arial(qreal points, bool bold = false);

// Fills the widget's background and sets its text colour.
void fill(QWidget *widget, const QColor &background, const QColor &text = Qt::black);
void setTextColor(QWidget *widget, const QColor &text);

} // namespace look
