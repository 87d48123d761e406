#pragma once

#include <QtGlobal>

namespace tokotoko {

// Time and chance, replaceable by tests.
class Clock {
public:
    virtual ~Clock() = default;
    // The local time of day in whole seconds since midnight, 0 to 86399.
    virtual int timeOfDay() const = 0;
    // Milliseconds on a clock that never goes back (for spans across midnight).
    virtual qint64 monotonicMs() const = 0;
    // Re-seeds the generator from a high-resolution clock, then returns one uniform value
    // r with 0 <= r < 1 in single precision. Two draws in the same second are independent.
    virtual float reseededRandom() = 0;
};

} // namespace tokotoko
