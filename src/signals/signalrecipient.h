#pragma once

struct Signal;

// Where a delivered signal goes once the list, the export, the sound and the alert have it.
// A recipient deals with its own failures: nothing it does reaches those steps.
class SignalRecipient
{
public:
    virtual ~SignalRecipient() = default;
    virtual void receive(const Signal &signal) = 0;
};
