#include "ui/helplabel.h"

#include <QLabel>

QLabel *makeHelpLabel(int k, QWidget *parent)
{
    auto *label = new QLabel(QStringLiteral("?"), parent);
    label->setObjectName(QStringLiteral("Label20_%1").arg(k));
    label->setToolTip(QStringLiteral("Подсказка"));
    label->setCursor(Qt::WhatsThisCursor);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9.75);
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    label->adjustSize();
    return label;
}
