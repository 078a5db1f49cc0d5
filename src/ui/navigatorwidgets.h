#pragma once

#include "ui/navigatorrules.h"

#include <QLabel>
#include <QWidget>

class GlyphLabel;

// The enable square of a navigator row (`el_toggle`): green with flag "1" when the instrument
// is polled, white with "0" when it is not.
class EnableSquare final : public QWidget
{
    Q_OBJECT
public:
    explicit EnableSquare(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(EnableSquare)

    void setOn(bool on);
    QString flag() const { return m_on ? QStringLiteral("1") : QStringLiteral("0"); }
    QColor color() const;

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_on = false;
};

// One instrument row (`el`): selection bar `el_sel`, enable square `el_toggle` and caption
// `el_title`. A click anywhere but on the square selects the instrument.
class NavigatorRow final : public QWidget
{
    Q_OBJECT
public:
    NavigatorRow(int index, QWidget *parent);
    Q_DISABLE_COPY_MOVE(NavigatorRow)

    int index() const { return m_index; }
    EnableSquare *enableSquare() const { return m_square; }
    QLabel *title() const { return m_title; }
    void setCaption(const QString &caption);
    void setHighlighted(bool highlighted);

Q_SIGNALS:
    void clicked(int index);
    void keyMove(navigatorrules::Key key);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int m_index;
    QWidget *m_bar;
    EnableSquare *m_square;
    QLabel *m_title;
};

// One group header (`gr_header`) with its icon `gr_icon`, title `gr_title` and expansion marker
// `gr_slide` ("4" collapsed, "6" expanded). A click anywhere on it toggles the group.
class GroupHeader final : public QWidget
{
    Q_OBJECT
public:
    GroupHeader(int group, QWidget *parent);
    Q_DISABLE_COPY_MOVE(GroupHeader)

    GlyphLabel *marker() const { return m_marker; }

Q_SIGNALS:
    void clicked(int group);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int m_group;
    GlyphLabel *m_marker;
};
