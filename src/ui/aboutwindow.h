#pragma once

#include <QWidget>

// The About window `Form3`: a small borderless window with its own title bar; it closes with
// its button or as soon as it loses the focus.
class AboutWindow final : public QWidget
{
    Q_OBJECT
public:
    explicit AboutWindow(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(AboutWindow)

protected:
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
