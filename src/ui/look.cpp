#include "ui/look.h"

#include "ui/twips.h"

#include <QFontInfo>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QWidget>

#include <algorithm>

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
    if (twips::scale() < 1) {
        // Text shrinks with the windows it is laid out in. Fonts come in whole pixel sizes, so
        // the size is rounded down: every text stays inside the box it filled at 100 %.
        const int pixels = QFontInfo(font).pixelSize();
        font.setPixelSize(std::max(1, int(pixels * twips::scale())));
    }
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

void drawFrame(QPainter &painter, const QRect &rect, const QColor &color)
{
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), color);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), color);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), color);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), color);
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
