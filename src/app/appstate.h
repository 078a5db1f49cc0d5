#pragma once

#include "app/catalogue.h"
#include "signals/signalmemory.h"

#include <QObject>
#include <QString>

#include <array>

// Program-wide run-time state: per navigator index the data record, the enabled flag and the
// signal memory; the selection; the trading flag; the documents fetched for the window. Widgets
// show it and turn user actions into calls on it.
class AppState final : public QObject
{
    Q_OBJECT
public:
    explicit AppState(QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(AppState)

    // Instrument data record as fetched, empty until the first fetch or after a failed one.
    QString record(int index) const { return m_slots.at(index).record; }
    void setRecord(int index, const QString &record);

    // Enabled for the polling cycle.
    bool isEnabled(int index) const { return m_slots.at(index).enabled; }
    void setEnabled(int index, bool enabled);

    SignalMemory &memory(int index) { return m_slots.at(index).memory; }
    const SignalMemory &memory(int index) const { return m_slots.at(index).memory; }

    // Navigator index of the selected instrument (0-61).
    int selectedIndex() const { return m_selectedIndex; }
    void setSelectedIndex(int index);

    // Trading flag "yes" / "no" as the server last reported it; "yes" at start.
    QString tradingFlag() const { return m_tradingFlag; }
    void setTradingFlag(const QString &flag) { m_tradingFlag = flag; }

    // "1" once a server notice was shown in this run, "0" before.
    QString noticeShown() const { return m_noticeShown; }
    void setNoticeShown(const QString &shown) { m_noticeShown = shown; }

    // Last fetched text of the server notice.
    QString noticeText() const { return m_noticeText; }
    void setNoticeText(const QString &text) { m_noticeText = text; }

    QString linkList() const { return m_linkList; }
    void setLinkList(const QString &text) { m_linkList = text; }

    QString calendarData() const { return m_calendarData; }
    void setCalendarData(const QString &text);
    QString reviewsData() const { return m_reviewsData; }
    void setReviewsData(const QString &text);
    QString feedData() const { return m_feedData; }
    void setFeedData(const QString &text);

Q_SIGNALS:
    void recordChanged(int index);
    void enabledChanged(int index, bool enabled);
    void selectedIndexChanged(int index);
    void calendarDataChanged();
    void reviewsDataChanged();
    void feedDataChanged();

private:
    struct Slot
    {
        QString record;
        bool enabled = false;
        SignalMemory memory;
    };
    std::array<Slot, catalogue::kSlotCount> m_slots;
    int m_selectedIndex = 0;
    QString m_tradingFlag = QStringLiteral("yes");
    QString m_noticeShown = QStringLiteral("0");
    QString m_noticeText;
    QString m_linkList;
    QString m_calendarData;
    QString m_reviewsData;
    QString m_feedData;
};
