#pragma once

#include "platform/clock.h"

namespace velmora {

// The system's clock, local time.
class SystemClock : public Clock {
  public:
    double SecondsSinceMidnight() override;
};

}  // namespace velmora
