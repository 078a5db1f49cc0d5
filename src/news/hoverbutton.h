#pragma once

#include <QString>
#include <QWidget>

// A picture button of a title bar: its normal picture, its hover picture while the pointer is
// over it, `clicked` on a left click. The pictures are SVG drawings scaled to the button.
class HoverButton final : public QWidget
{
    Q_OBJECT
public:
    HoverButton(const QString &normalPicture, const QString &hoverPicture, QWidget *parent);
    Q_DISABLE_COPY_MOVE(HoverButton)

    bool showsHover() const { return m_hover; }

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void setHover(bool hover);

    QString m_normalPicture;
    QString m_hoverPicture;
    bool m_hover = false;
};
