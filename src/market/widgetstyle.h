#pragma once

#include "market/indicatorgrid.h"

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QRect;
class QWidget;

// Colours, fonts and small builders shared by the panels of the indicator area.
namespace widgetstyle {

inline constexpr Rgb kPanelBlue = 0x298FCC; // caption bar, active tab
inline constexpr Rgb kInactiveGrey = 0x808080;
inline constexpr Rgb kLightGrey = 0xC0C0C0; // scale lines and frames
inline constexpr Rgb kLinkBlue = 0x0067C4;
inline constexpr Rgb kAlarmRed = 0xE80000;

QColor colour(Rgb rgb);
QFont arial(qreal points, bool bold = false);
// Paints the widget's background in one colour.
void setBackground(QWidget *widget, Rgb rgb);
QLabel *addLabel(QWidget *parent, const QString &objectName, const QString &text,
                 const QRect &geometry, const QFont &font, Rgb textColour,
                 Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop);

} // namespace widgetstyle
