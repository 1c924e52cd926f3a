#include "container/pumped_work.h"

#include <chrono>
#include <future>

namespace velmora {

void RunWhilePumping(Host& host, const std::function<void()>& work) {
    RunWhilePumping([&host] { host.PumpEvents(); }, work);
}

void RunWhilePumping(const std::function<void()>& pump, const std::function<void()>& work) {
    std::future<void> done = std::async(std::launch::async, work);
    while (done.wait_for(std::chrono::milliseconds(15)) != std::future_status::ready)
        pump();
    done.get();
}

}  // namespace velmora
