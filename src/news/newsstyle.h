#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QWidget>

// Colours and fonts of the news panel and the news window, as the main window uses them.
namespace newsstyle {

inline const QColor kTitleBlue(0x00, 0x67, 0xC4); // window title bars, importance squares
inline const QColor kPanelBlue(0x29, 0x8F, 0xCC); // panel title bars, active tabs, links
inline const QColor kInactiveGrey(0x80, 0x80, 0x80);
inline const QColor kPast(0xC0, 0xC0, 0xC0); // events already past

inline QFont arial(qreal pointSize, bool bold = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

// Captions on coloured strips: white Arial 9.75 pt bold.
inline QFont captionFont()
{
    return arial(9.75, true);
}

// The grids' plain sans-serif.
inline QFont gridFont()
{
    return arial(8.25);
}

inline void fill(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

inline void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

} // namespace newsstyle
