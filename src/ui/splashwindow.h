#pragma once

#include <QPointer>
#include <QWidget>

// The splash window `Form5`, shown while the program starts.
class SplashWindow final : public QWidget
{
    Q_OBJECT
public:
    // The main window is brought back from the task bar when the user activates the splash.
    explicit SplashWindow(QWidget *mainWindow);
    Q_DISABLE_COPY_MOVE(SplashWindow)

protected:
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<QWidget> m_mainWindow;
};
