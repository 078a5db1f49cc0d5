#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QSoundEffect;

// The signal sound: "sound.wav" in the program's folder, where users may put a sound of their
// own. A new signal cuts the previous sound off; without the file the desktop's beep sounds.
class SignalSound final : public QObject
{
    Q_OBJECT
public:
    static constexpr char kFileName[] = "sound.wav";

    SignalSound(const QString &programFolder, std::function<void()> beep,
                QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(SignalSound)

    void play();

private:
    QString m_path;
    std::function<void()> m_beep;
    QSoundEffect *m_effect = nullptr; // made at the first signal
};
