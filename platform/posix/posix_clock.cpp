#include <time.h>

#include "platform/clock.h"

namespace velmora {

double SystemClock::SecondsSinceMidnight() {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    struct tm local;
    localtime_r(&now.tv_sec, &local);
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
           static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace velmora
