#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QLabel;
class QPainter;
class QWidget;

// The window's colours, fonts and the small builders its panels are made with, named once.
namespace look {

inline constexpr QColor kTitleBlue{0x00, 0x67, 0xC4};    // title bars, links, the Online status
inline constexpr QColor kPanelBlue{0x29, 0x8F, 0xCC};    // panel title bars, active tabs, selection
inline constexpr QColor kFrameBlue{0x00, 0x4F, 0x96};    // the main window's frame
inline constexpr QColor kInactiveGrey{0x80, 0x80, 0x80}; // inactive tabs, the splitter, quiet text
inline constexpr QColor kLightGrey{0xC0, 0xC0, 0xC0};    // scale lines, frames, events already past
inline constexpr QColor kTextGrey{0x40, 0x40, 0x40};     // the data-missing message
inline constexpr QColor kWindowGrey{0xEE, 0xF2, 0xF6};   // the window between its panels
inline constexpr QColor kHoverOrange{0xFF, 0xA8, 0x00};  // link text under the pointer
inline constexpr QColor kAccentOrange{0xFC, 0x9B, 0x0B}; // the selection bar
inline constexpr QColor kEnabledGreen{0x00, 0xC0, 0x00}; // a switched-on instrument
inline constexpr QColor kSquareBorder{0x9A, 0xA5, 0xB1}; // a switched-off instrument's square
inline constexpr QColor kHeaderRule{0xE3, 0xE9, 0xEF};   // the line under a navigator group
inline constexpr QColor kTipYellow{0xFF, 0xFA, 0xDF};    // help tips
inline constexpr QColor kTipBorder{0xE6, 0xD3, 0x8E};    // the help tips' frame
inline constexpr QColor kDarkRed{0x80, 0x00, 0x00};      // "Скрыть"
inline constexpr QColor kAlarmRed{0xE8, 0x00, 0x00};     // the Offline status
inline constexpr QColor kBuyBlue{0x00, 0x00, 0xFF};      // BUY signals
inline constexpr QColor kSellRed{0xFF, 0x00, 0x00};      // SELL signals
inline constexpr QColor kGainGreen{0x00, 0x99, 0x00};    // a journal move the signal's way

// A colour the domain keeps as 0xRRGGBB.
QColor fromRgb(quint32 rrggbb);

// Arial (Liberation Sans where Arial is missing) at the given size, at the windows' scale.
QFont arial(qreal points, bool bold = false);
// Captions on coloured strips and panel headings: Arial 9.75 pt bold.
QFont captionFont();
// The window's plain text, its grids and selectors: Arial 8.25 pt.
QFont textFont();
// The signal dialogs, whose layouts are measured in twips for this face and size: Arial 8 pt.
QFont dialogFont();

// Fills the widget's background; the second form sets the colour of its text as well.
void fill(QWidget *widget, const QColor &background);
void fill(QWidget *widget, const QColor &background, const QColor &text);
void setTextColor(QWidget *widget, const QColor &text);

// A frame one pixel wide along the inside of `rect`. It is filled rather than stroked: at a
// fractional pixel ratio (150 %) a stroked edge may fall just outside the widget and vanish.
void drawFrame(QPainter &painter, const QRect &rect, const QColor &color);

// A plain-text label placed at `geometry` (pixels; twips::rect gives them) in `parent`.
QLabel *addLabel(QWidget *parent, const QString &objectName, const QString &text,
                 const QRect &geometry, const QFont &font, const QColor &textColor,
                 Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop);

} // namespace look
