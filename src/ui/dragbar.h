#pragma once

#include <QPoint>
#include <QWidget>

// A title bar of a window without system frame: pressing and moving the mouse on it moves the
// window (the system does the moving; where it cannot, the window follows the pointer), a
// double-click is reported.
class DragBar : public QWidget
{
    Q_OBJECT
public:
    explicit DragBar(QWidget *parent);
    Q_DISABLE_COPY_MOVE(DragBar)

Q_SIGNALS:
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    // The move starts with the first motion after the press, so that a double-click still
    // arrives as one.
    bool m_pressed = false;
    bool m_following = false;
    QPoint m_grip; // the pressed point, from the window's corner
};
