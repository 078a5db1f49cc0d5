#pragma once

#include "signals/signal.h"

#include <QDateTime>
#include <QString>

// A signal as delivery hands it on once the list, the export, the sound and the alert have it.
struct DeliveredSignal
{
    Signal signal;
    QDateTime time;    // the moment of delivery
    int method = 1;    // the method it was raised under
    QString priceText; // the record's current price as written; empty when the record has none
};

// Where delivered signals go after the desktop: the journal, remote targets. A recipient
// absorbs its own failures; nothing it does reaches delivery or the other recipients.
class SignalRecipient
{
public:
    virtual ~SignalRecipient() = default;
    virtual void receive(const DeliveredSignal &signal) = 0;
};
