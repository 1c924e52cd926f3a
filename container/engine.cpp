#include "container/engine.h"

namespace velmora {

Engine::Engine(FileSystem& files, Host& host, const CipherTables& tables, Clock& clock,
               EngineState& state, EngineOptions options)
    : files_(files),
      host_(host),
      tables_(tables),
      clock_(clock),
      state_(state),
      options_(std::move(options)) {}

RunResult Engine::Refuse(const std::string& message) {
    host_.ShowMessage(message, MessageIcon::kCritical);
    return {Outcome::kRefused, message};
}

RunResult Engine::Fail(const std::string& message) {
    files_.CloseAll();
    host_.ShowMessage(message, MessageIcon::kCritical);
    return {Outcome::kFailed, message};
}

void Engine::Espera(float Segundos) {
    float start = static_cast<float>(clock_.SecondsSinceMidnight());
    float end = start + Segundos;
    for (;;) {
        if (static_cast<float>(clock_.SecondsSinceMidnight()) >= end)
            return;
        host_.PumpEvents();
        const auto now = static_cast<float>(clock_.SecondsSinceMidnight());
        if (now < start) {  // midnight has passed: the clock went back a day
            end -= 86400.0f;
            start = now;
        }
    }
}

}  // namespace velmora
