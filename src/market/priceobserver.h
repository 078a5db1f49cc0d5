#pragma once

// Told the current price of each instrument whose record the polling cycle has just read in
// full, at the moment it reads it.
class PriceObserver
{
public:
    virtual ~PriceObserver() = default;
    virtual void observePrice(int index, double price) = 0;
};
