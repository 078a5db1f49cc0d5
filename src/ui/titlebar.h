#pragma once

#include "ui/dragbar.h"

class ClickLabel;
class HoverButton;

// The main window's own title bar `Picture9`: the logo `Picture26` with its hot spot `Label4`,
// the links "About" (`Label29`) and "Options" (`Label19`), and the buttons About
// (`Picture19`), minimise (`Picture20`), compact layout (`Picture23`) and close (`Picture21`).
class TitleBar final : public DragBar
{
    Q_OBJECT
public:
    explicit TitleBar(QWidget *parent);
    Q_DISABLE_COPY_MOVE(TitleBar)

    HoverButton *minimiseButton() const { return m_minimise; }
    HoverButton *compactButton() const { return m_compact; }

Q_SIGNALS:
    // topMost: opened from the "About" link, which keeps the window above the others.
    void aboutRequested(bool topMost);
    void optionsRequested(bool fromLogo);
    void minimiseRequested();
    void compactRequested();
    void closeRequested();

private:
    ClickLabel *m_aboutLink;
    ClickLabel *m_optionsLink;
    HoverButton *m_minimise;
    HoverButton *m_compact;
};
