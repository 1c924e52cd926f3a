#include "container/engine.h"

#include "container/restore_source.h"

namespace velmora {

Engine::Engine(TreeOps& files, Host& host, const CipherTables& tables, Clock& clock,
               EngineState& state, EngineOptions options)
    : options_(std::move(options)), run_{files, host, tables, clock, state, options_} {}

RunResult Engine::Refuse(const std::string& message) {
    run_.host.ShowMessage(message, MessageIcon::kCritical);
    return {Outcome::kRefused, message};
}

RunResult Engine::Done(bool left_behind) {
    run_.host.UnloadMainWindow();
    RunResult done{Outcome::kDone, ""};
    done.left_behind = left_behind;
    return done;
}

RunResult Engine::Fail(const std::string& message) {
    run_.files.CloseAll();
    run_.host.ShowMessage(message, MessageIcon::kCritical);
    return {Outcome::kFailed, message};
}

RunResult Engine::FailOrRefuse(const EngineFailure& failure) {
    if (failure.code != kNotRestorableCode)
        return Fail(failure.message);
    run_.files.CloseAll();
    return Refuse(failure.message);
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
