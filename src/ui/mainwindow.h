#pragma once

#include "ui/windowlayout.h"

#include <QPointer>
#include <QWidget>

class AboutWindow;
class AppState;
class GlyphLabel;
class Navigator;
class SettingsStore;
class TipSet;
class TitleBar;
class WindowFrame;

// The main window "Form1": a borderless window with its own title bar, the instrument
// navigator, the splitter that folds it away, the help tips and the frame. The other panels are
// created by their subsystems as children with their names; the window places them by name in
// its full and compact layouts.
class MainWindow final : public QWidget
{
    Q_OBJECT
public:
    MainWindow(AppState &state, SettingsStore &settings, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(MainWindow)

    // Called once every panel exists: lays them out, puts the tips and the frame above them and
    // wires the signal list's double-click.
    void finishPanels();

    Navigator &navigator() { return *m_navigator; }
    TipSet &tips() { return *m_tips; }

    windowlayout::State layoutState() const { return m_layout; }
    // Full layout to compact and back (the compact button, a double-click on the title bar).
    void switchLayout();
    // Folds the navigator away or brings it back (the splitter strip); stored at once.
    void toggleFold();

    // Window height in twips, which shutdown stores the layout by.
    int heightTwips() const;
    // "3" while the navigator is shown, "4" while it is folded.
    QString splitterCaption() const;

    // The About window; from the "About" link it stays above the other windows.
    void showAbout(bool topMost);
    // The options menu's place under "Options" or at the logo, on the screen.
    void requestOptionsMenu(bool fromLogo);

    // Instrument of a signal-list text (the list's double-click).
    void openInstrumentOf(const QString &signalText);

Q_SIGNALS:
    void closeRequested();
    void minimiseRequested();
    void optionsMenuRequested(QPoint globalPosition);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyLayout();
    void buildNavigatorPanels();
    bool handlePress(QWidget *widget);
    QWidget *pressedWidget(QEvent *event) const;
    void openSignalOfCurrentRow();

    AppState &m_state;
    SettingsStore &m_settings;
    windowlayout::State m_layout;
    TitleBar *m_titleBar;
    Navigator *m_navigator = nullptr;
    GlyphLabel *m_splitter;
    TipSet *m_tips;
    WindowFrame *m_frame;
    QPointer<QWidget> m_signalList;
    QPointer<AboutWindow> m_about;
};
