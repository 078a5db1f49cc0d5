#pragma once

#include <QLabel>
#include <QWidget>

// A tab strip of the news panel: a coloured strip with a white caption and a "?" help label.
// The active strip is #298FCC and 375 twips high, the others grey and 345 twips high; a click
// on the strip or its caption chooses the tab, a click on "?" does not.
class NewsTab final : public QWidget
{
    Q_OBJECT
public:
    struct Names
    {
        const char *strip;   // "Picture36"
        const char *caption; // "Label34"
        const char *help;    // "Label20_3"
    };

    NewsTab(const Names &names, const QString &caption, int leftTwips, int widthTwips,
            QWidget *window);
    Q_DISABLE_COPY_MOVE(NewsTab)

    void setActive(bool active);
    bool isActive() const { return m_active; }

Q_SIGNALS:
    void chosen();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QLabel *m_caption;
    QLabel *m_help;
    bool m_active = false;
};
