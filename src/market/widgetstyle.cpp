#include "market/widgetstyle.h"

#include <QLabel>
#include <QPalette>
#include <QRect>
#include <QWidget>

namespace widgetstyle {

QColor colour(Rgb rgb)
{
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

QFont arial(qreal points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void setBackground(QWidget *widget, Rgb rgb)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour(rgb));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel *addLabel(QWidget *parent, const QString &objectName, const QString &text,
                 const QRect &geometry, const QFont &font, Rgb textColour, Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setTextFormat(Qt::PlainText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour(textColour));
    label->setPalette(palette);
    return label;
}

} // namespace widgetstyle
