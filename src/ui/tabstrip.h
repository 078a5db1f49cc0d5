#pragma once

#include <QWidget>

class QLabel;

// A tab of the main window: a coloured strip with a white caption and a "?" help label. The
// active tab is #298FCC and 375 twips high, so that it joins the bar below it; the others are
// grey #808080 and 345 twips high. A click on the strip or its caption chooses the tab; a press
// on "?" opens its tip instead.
class TabStrip final : public QWidget
{
    Q_OBJECT
public:
    // Where the caption stands: centred across the strip with "?" at the strip's right end, or at
    // the strip's left with "?" right after it.
    enum class CaptionPlace
    {
        Centred,
        Leading,
    };

    struct Design
    {
        const char *strip;   // "Picture32"
        const char *caption; // "Label14"
        int helpLabel;       // k of the "?" label `Label20_k`
        const char *text;    // "Indicators" (UTF-8)
        int left;            // twips, in the full layout
        int top;
        int width;
        CaptionPlace place;
    };

    TabStrip(const Design &design, QWidget *window);
    Q_DISABLE_COPY_MOVE(TabStrip)

    void setActive(bool active);
    bool isActive() const { return m_active; }

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QLabel *m_help = nullptr;
    bool m_active = false;
    bool m_pressed = false;
};
