#include <future>

#include "base/messages.h"
#include "container/dir_walk.h"
#include "container/engine.h"
#include "container/engine_failure.h"
#include "container/opened_container.h"
#include "container/path_helpers.h"
#include "container/pumped_work.h"
#include "container/sealed/sealed_header.h"
#include "container/sealed/sealed_keys.h"
#include "container/sealed/sealed_kind.h"

namespace velmora {
namespace {

// Where the container is, whole, for the windows to tell: a name alone is
// in the current folder.
std::string WrittenAt(TreeOps& files, const std::string& container_path) {
    if (!ParentOf(container_path).empty())
        return container_path;
    const Result<std::string> here = files.paths().CurrentFolder();
    if (!here || here->empty())
        return container_path;
    return here.value() + (here->back() == '\\' ? "" : "\\") + container_path;
}

}  // namespace

RunResult Engine::Seal(const EngineRequest& request) {
    Start(request);
    const std::string& password = request.password;
    run_.host.BeginStep(Text(Msg::kEncodingCaption));
    const std::string& folder = run_.state.FolderPath;
    if (Status named = CheckFolderPath(); !named)
        return Refuse(named.error().message);
    // The key's derivation is the slow step: it runs on a thread of its own
    // while the folder is scanned, and the windows stay alive until it ends.
    // Its future waits for it however this function is left (the thread
    // uses the password and the header); a refusal of the folder is said
    // once it has ended.
    const Result<SealedHeader> made = NewSealedHeader(run_.options.sealed_parameters);
    if (!made)
        return Fail(made.error().message);
    const SealedHeader& header = made.value();
    Result<SealedKeys> keys = Error{""};
    run_.host.SealedJob(SealedMoment::kDerivingKey, "");
    std::future<void> derived =
        std::async(std::launch::async, [&] { keys = SealedKeys::Derive(password, header); });
    ScannedTree tree(run_.files);
    std::string container_path;
    const Status started = StartEncoding(tree, SealedKind::kNameRules, container_path);
    PumpUntilDone(run_.host, derived);
    run_.host.SealedJob(SealedMoment::kKeyReady, "");
    if (!started)
        return Refuse(started.error().message);
    derived.get();

    bool left_behind = false;
    try {
        const FoundList every = EveryEntry(tree.scan);
        const WalkResult walk = EveryFolder(every);
        const SealedKind kind(run_.host);
        SealedWriter writer = kind.Writer(OrFail(std::move(keys)), header, folder.size() + 1);
        PackContainer(tree, walk, every, writer, container_path, [&](int, ByteSource& source) {
            return kind.ReaderOfWritten(source, writer.keys());
        });
        left_behind = WipeFolder(tree, walk, every, container_path, false);
    } catch (const EngineFailure& failure) {
        return FailOrRefuse(failure);
    }
    run_.host.SealedJob(SealedMoment::kSealed, WrittenAt(run_.files, container_path));
    return Done(left_behind);
}

}  // namespace velmora
