#pragma once

#include <QWidget>

class QLabel;

// One of the two tabs above the table area: a coloured box with a white caption and a "?" help
// label. Active tabs are blue and a little taller, so that they join the caption bar below.
class IndicatorTab final : public QWidget
{
    Q_OBJECT
public:
    struct Names
    {
        QString tab;     // "Picture32"
        QString caption; // "Label14"
        QString help;    // "Label20_1"
    };

    IndicatorTab(QWidget *window, const Names &names, const QString &caption, int leftTwips);
    Q_DISABLE_COPY_MOVE(IndicatorTab)

    void setActive(bool active);
    bool isActive() const { return m_active; }

Q_SIGNALS:
    // A click on the tab or its caption; the help label opens its tip instead.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QLabel *m_help = nullptr;
    bool m_active = false;
    bool m_pressed = false;
};
