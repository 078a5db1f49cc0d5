#pragma once

#include <QWidget>

// The one-pixel frame `Shape5` around the main window. It lies above every panel and lets the
// mouse through.
class WindowFrame final : public QWidget
{
    Q_OBJECT
public:
    explicit WindowFrame(QWidget *window);
    Q_DISABLE_COPY_MOVE(WindowFrame)

protected:
    void paintEvent(QPaintEvent *event) override;
};
