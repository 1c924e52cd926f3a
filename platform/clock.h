#pragma once

namespace velmora {

// Seconds since local midnight.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual double SecondsSinceMidnight() = 0;
};

// The system's clock, local time.
class SystemClock : public Clock {
  public:
    double SecondsSinceMidnight() override;
};

}  // namespace velmora
