#pragma once

namespace velmora {

// Seconds since local midnight.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual double SecondsSinceMidnight() = 0;
};

}  // namespace velmora
