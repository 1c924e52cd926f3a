#include "container/run.h"

#include <cstdlib>
#include <utility>

namespace velmora {

void SafePoints::PumpEvents() {
    view_.PumpEvents();
    if (!cancel_.requested() || cancel_.heed() != CancelToken::Heed::kAtSafePoint)
        return;
    // Taken out first: removing the container ends its owner's hold.
    if (const std::function<void()> remove = std::exchange(remove_unfinished_, nullptr))
        remove();
    files_.CloseAll();
    EndProgram();
}

void SafePoints::EndProgram() {
    view_.EndProgram();
    std::abort();  // the view's EndProgram never returns
}

void Espera(Run& run, float Segundos) {
    float start = static_cast<float>(run.clock.SecondsSinceMidnight());
    float end = start + Segundos;
    for (;;) {
        if (static_cast<float>(run.clock.SecondsSinceMidnight()) >= end)
            return;
        run.host.PumpEvents();
        const auto now = static_cast<float>(run.clock.SecondsSinceMidnight());
        if (now < start) {  // midnight has passed: the clock went back a day
            end -= 86400.0f;
            start = now;
        }
    }
}

}  // namespace velmora
