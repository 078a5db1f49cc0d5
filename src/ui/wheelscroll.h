#pragma once

#include <QObject>

class QAbstractScrollArea;

// Wheel scrolling of the lists: three lines a notch, up when the wheel turns away from the
// user and down when it turns towards the user, whatever modifier keys are held. Fine-grained
// wheels add up their small steps until a notch is complete.
class WheelScroll final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kLinesPerNotch = 3;
    static constexpr int kNotch = 120; // angle delta of one notch, in eighths of a degree

    // The scroll area keeps the handler for its lifetime.
    static void install(QAbstractScrollArea *area);

    // Lines to scroll for a wheel delta (negative: up), carrying the part of a notch left over
    // in remainder.
    static int linesFor(int angleDelta, int &remainder);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit WheelScroll(QAbstractScrollArea *area);

    QAbstractScrollArea *m_area;
    int m_remainder = 0;
};
