#pragma once

// A screen whose data the screens above it may change (the card's records,
// the recipe's markers, ...). The screen stack calls screenReturned() when the
// screens above it have been taken off and this one is current again, so that
// it shows what was changed up there.
class ReturnableScreen
{
public:
    virtual ~ReturnableScreen() = default;
    virtual void screenReturned() = 0;
};
