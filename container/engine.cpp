#include "container/engine.h"

#include "container/restore_source.h"

namespace velmora {

Engine::Engine(TreeOps& files, Host& host, const CipherTables& tables, Clock& clock,
               CancelToken& cancel)
    : run_(files, host, tables, clock, cancel) {}

void Engine::Start(const EngineRequest& request) {
    run_.state = EngineState(request);
    run_.options = request.options;
}

RunResult Engine::Refuse(const std::string& message) {
    run_.host.ShowMessage(message, MessageIcon::kCritical);
    return {Outcome::kRefused, message};
}

RunResult Engine::Done(bool left_behind) {
    run_.host.EndJob();
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

}  // namespace velmora
