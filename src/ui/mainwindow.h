#pragma once

#include <QWidget>

// The main window "Form1".
class MainWindow final : public QWidget
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(MainWindow)

    // Window height in twips, which shutdown stores the layout by.
    int heightTwips() const;
    // "3" while the navigator is shown, "4" while it is folded.
    QString splitterCaption() const;

Q_SIGNALS:
    // The user asked to close the window; the application decides what closing means.
    void closeRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
};
