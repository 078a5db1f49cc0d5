#pragma once

#include "ui/tiptexts.h"

#include <QFrame>
#include <QObject>

#include <array>

class ClickLabel;
class SettingsStore;

// One help panel `tip`(i): title `tipcaption`, text `tiptext` and the links along its bottom
// edge: "Больше не показывать" (`tiplinknever`), "Скрыть" (`tiplinkclose`) and, where a tip
// follows, "Далее >>" (`tiplinknext`).
class TipPanel final : public QFrame
{
    Q_OBJECT
public:
    TipPanel(int tip, QWidget *parent);
    Q_DISABLE_COPY_MOVE(TipPanel)

    ClickLabel *neverLink() const { return m_never; }
    ClickLabel *closeLink() const { return m_close; }
    ClickLabel *nextLink() const { return m_next; } // null on the last tip

private:
    ClickLabel *m_never;
    ClickLabel *m_close;
    ClickLabel *m_next = nullptr;
};

// The eight tips of the main window: opened by the "?" labels, paged by "Далее >>", hidden at
// the next click elsewhere.
class TipSet final : public QObject
{
    Q_OBJECT
public:
    TipSet(QWidget &window, SettingsStore &settings);
    Q_DISABLE_COPY_MOVE(TipSet)

    TipPanel *panel(int tip) const { return m_panels.at(tip); }
    // Whether the widget is a tip panel or lies on one.
    bool contains(const QWidget *widget) const;

    // Hides every tip (`tipvis`).
    void hideAll();
    // The "?" label k: its tip alone, without the "Больше не показывать" links.
    void openForLabel(int label);
    // "Далее >>": the tip closes and the next one opens; the others stay as they are.
    void showNext(int tip);
    // "Скрыть": the "Больше не показывать" links come back, the tip closes.
    void close(int tip);
    // "Больше не показывать": remembered in the settings, the tip closes.
    void neverShow(int tip);
    void raiseAll();

private:
    void setNeverLinksVisible(bool visible);

    SettingsStore &m_settings;
    std::array<TipPanel *, tiptexts::kTipCount> m_panels{};
};
