#pragma once

#include <QString>

struct Signal;

// What the user sees and hears of a delivered signal.
class SignalOutput
{
public:
    virtual ~SignalOutput() = default;
    // A new row at the top of the signal list, showing the given time of day.
    virtual void addToList(const QString &time, const Signal &signal) = 0;
    virtual void playSound() = 0;
    virtual void showAlert(const QString &text, const QString &option) = 0;
};
