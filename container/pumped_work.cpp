#include "container/pumped_work.h"

#include <chrono>

namespace velmora {
namespace {

// Once at least, even when the work is over already: an interrupt that came
// while it ran is answered before what follows it begins.
void PumpUntilDone(const std::function<void()>& pump, const std::future<void>& done) {
    do
        pump();
    while (done.wait_for(std::chrono::milliseconds(15)) != std::future_status::ready);
}

}  // namespace

void RunWhilePumping(Host& host, const std::function<void()>& work) {
    RunWhilePumping([&host] { host.PumpEvents(); }, work);
}

void RunWhilePumping(const std::function<void()>& pump, const std::function<void()>& work) {
    std::future<void> done = std::async(std::launch::async, work);
    PumpUntilDone(pump, done);
    done.get();
}

void PumpUntilDone(Host& host, const std::future<void>& done) {
    PumpUntilDone([&host] { host.PumpEvents(); }, done);
}

}  // namespace velmora
