#pragma once

#include "ui/artwork.h"
#include "ui/svgpicture.h"

// A title-bar button: a picture that shows its hover image and the hand pointer while the
// pointer is over it.
class HoverButton final : public SvgPicture
{
    Q_OBJECT
public:
    HoverButton(artwork::ButtonImages images, QWidget *parent);
    Q_DISABLE_COPY_MOVE(HoverButton)

    bool isHovered() const { return m_hovered; }
    void showNormal() { showImage(false); }

Q_SIGNALS:
    void clicked();

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void showImage(bool hovered);

    artwork::ButtonImages m_images;
    bool m_hovered = false;
};
