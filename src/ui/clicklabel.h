#pragma once

#include <QColor>
#include <QLabel>

class QMouseEvent;

// True for the release of a left press that ends inside the widget: a click.
bool isClickRelease(const QMouseEvent *event, const QWidget *widget);

// A label that reports a click: a left press and release inside it. Title-bar links, tip
// links, hot spots and the splitter strip are such labels.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickLabel(const QString &text, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ClickLabel)

    // Makes the label a link: text in `color` with the hand pointer.
    void setLinkColor(const QColor &color);
    // The text colour while the pointer is over the link (only the title bar's links have one).
    void setHoverColor(const QColor &color) { m_hover = color; }
    // Back to the normal colour (a click on "About" turns it white again at once).
    void showNormal();

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QColor m_normal;
    QColor m_hover;
};
