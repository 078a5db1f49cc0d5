#pragma once

#include <QColor>
#include <QWidget>

// The one-pixel frame around a window without system frame (`Shape5` of the main window,
// `Shape4` of the news window). It lies above everything else and lets the mouse through.
class WindowFrame final : public QWidget
{
    Q_OBJECT
public:
    WindowFrame(QWidget *window, const QString &objectName, const QColor &color);
    Q_DISABLE_COPY_MOVE(WindowFrame)

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color;
};
