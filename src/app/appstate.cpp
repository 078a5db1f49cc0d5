#include "app/appstate.h"

AppState::AppState(QObject *parent)
    : QObject(parent)
{}

void AppState::setRecord(int index, const QString &record)
{
    m_slots.at(index).record = record;
    Q_EMIT recordChanged(index);
}

void AppState::setEnabled(int index, bool enabled)
{
    Slot &slot = m_slots.at(index);
    if (slot.enabled == enabled)
        return;
    slot.enabled = enabled;
    Q_EMIT enabledChanged(index, enabled);
}

void AppState::setSelectedIndex(int index)
{
    m_selectedIndex = index;
    Q_EMIT selectedIndexChanged(index);
}

void AppState::setCalendarData(const QString &text)
{
    m_calendarData = text;
    Q_EMIT calendarDataChanged();
}

void AppState::setReviewsData(const QString &text)
{
    m_reviewsData = text;
    Q_EMIT reviewsDataChanged();
}

void AppState::setFeedData(const QString &text)
{
    m_feedData = text;
    Q_EMIT feedDataChanged();
}
