#include "ui/look.h"

#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace look {

QColor fromRgb(quint32 rrggbb)
{
    return QColor::fromRgb(static_cast<QRgb>(rrggbb));
}

QFont arial(qreal points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont captionFont()
{
    return arial(9.75, true);
}

QFont textFont()
{
    return arial(8.25);
}

QFont dialogFont()
{
    return arial(8);
}

void fill(QWidget *widget, const QColor &background)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void fill(QWidget *widget, const QColor &background, const QColor &text)
{
    fill(widget, background);
    setTextColor(widget, text);
}

void setTextColor(QWidget *widget, const QColor &text)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
}

QLabel *addLabel(QWidget *parent, const QString &objectName, const QString &text,
                 const QRect &geometry, const QFont &font, const QColor &textColor,
                 Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setTextFormat(Qt::PlainText);
    setTextColor(label, textColor);
    return label;
}

} // namespace look
