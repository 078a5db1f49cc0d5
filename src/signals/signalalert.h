#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <chrono>

// One desktop alert: a small frameless window above all others showing a signal and its option.
// It never takes the keyboard focus, closes itself after its lifetime and on a click.
class AlertPopup final : public QWidget
{
    Q_OBJECT
public:
    AlertPopup(const QString &text, const QString &option, std::chrono::milliseconds lifetime);
    Q_DISABLE_COPY_MOVE(AlertPopup)

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QString m_text;
    QString m_option;
};

// Desktop alerts in the bottom-right corner of the screen. Alerts that arrive together stack
// upwards, the newest on top, as in the signal list; when the column is full the oldest goes.
class SignalAlert final : public QObject
{
    Q_OBJECT
public:
    explicit SignalAlert(std::chrono::milliseconds lifetime, QObject *parent = nullptr);
    ~SignalAlert() override;
    Q_DISABLE_COPY_MOVE(SignalAlert)

    void show(const QString &text, const QString &option);

    // The alerts on screen, oldest first.
    QList<AlertPopup *> popups() const;

private:
    void restack();

    std::chrono::milliseconds m_lifetime;
    QList<QPointer<AlertPopup>> m_popups;
};
