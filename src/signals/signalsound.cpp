#include "signals/signalsound.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

SignalSound::SignalSound(const QString &programFolder, std::function<void()> beep, QObject *parent)
    : QObject(parent)
    , m_path(programFolder + QLatin1Char('/') + QLatin1String(kFileName))
    , m_beep(std::move(beep))
{}

void SignalSound::play()
{
    if (!QFileInfo::exists(m_path)) {
        m_beep();
        return;
    }
    if (!m_effect) {
        m_effect = new QSoundEffect(this);
        m_effect->setSource(QUrl::fromLocalFile(m_path));
    }
    m_effect->stop();
    m_effect->play();
}
