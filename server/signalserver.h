#pragma once

#include "documents/articles.h"
#include "documents/calendar.h"
#include "documents/documentset.h"
#include "market/market.h"
#include "market/marketdata.h"

#include "app/clock.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>

// What the documents are made of besides the market.
struct ServerContent
{
    // Calendar events from a file; the built-in schedule when not given.
    std::optional<QList<CalendarEvent>> calendarEvents;
    // Articles of our own; the built-in news and the reviews written from the market when not
    // given.
    std::optional<QList<Article>> news;
    std::optional<QList<Article>> reviews;
    QString notice; // the server notice, empty for none
};

// Computes every document from the market and keeps them current: when a new minute starts it
// brings the candles up to it and rebuilds what changed (the records of instruments that got
// candles, the trading flag, at a new week the calendar, at a new four-hour candle the reviews).
// A live market's candles arrive between minutes; their records are rebuilt as they come.
class SignalServer final : public QObject
{
    Q_OBJECT
public:
    // With `clockAdvances` false the clock is frozen and the documents never change.
    SignalServer(const MarketSetup &market, ServerContent content, Clock clock, bool clockAdvances,
                 QObject *parent = nullptr);
    // Over a market of its own kind (the live market).
    SignalServer(std::unique_ptr<MarketData> market, ServerContent content, Clock clock,
                 bool clockAdvances, QObject *parent = nullptr);
    ~SignalServer() override;
    Q_DISABLE_COPY_MOVE(SignalServer)

    const DocumentSet &documents() const { return m_documents; }
    const MarketData &market() const { return *m_market; }

    // Brings everything up to the clock's minute; returns the paths that changed.
    QStringList refresh();

Q_SIGNALS:
    // After a refresh that changed documents.
    void documentsChanged(const QStringList &paths);

private:
    void start();
    void onMinute();
    void scheduleNextMinute();
    void publishArticles(const char *listPath, const QList<Article> &articles,
                         const QString &section, QStringList &changed);
    void put(const QString &path, const Document &document, QStringList &changed);

    ServerContent m_content;
    Clock m_clock;
    bool m_clockAdvances;
    std::unique_ptr<MarketData> m_market;
    DocumentSet m_documents;
    QTimer m_minuteTimer;
    QTimer m_arrivalTimer; // gathers the candles of one burst into one refresh
    qint64 m_week = -1;
    qint64 m_reviewBucket = -1;
};
