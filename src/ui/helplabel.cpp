#include "ui/helplabel.h"

#include "ui/look.h"
#include <QLabel>

QLabel *makeHelpLabel(int k, QWidget *parent)
{
    auto *label = new QLabel(QStringLiteral("?"), parent);
    label->setObjectName(QStringLiteral("Label20_%1").arg(k));
    label->setToolTip(QStringLiteral("Подсказка"));
    label->setCursor(Qt::PointingHandCursor);
    label->setFont(look::captionFont());
    look::setTextColor(label, Qt::white);
    label->adjustSize();
    return label;
}
