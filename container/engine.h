#pragma once

#include <functional>
#include <memory>
#include <string>

#include "cipher/cipher_tables.h"
#include "container/byte_source.h"
#include "container/container_kind.h"
#include "container/engine_failure.h"
#include "container/engine_state.h"
#include "container/found_list.h"
#include "container/host.h"
#include "container/pack.h"
#include "container/run.h"
#include "container/scanned_tree.h"
#include "container/sealed/plaintext_hash.h"
#include "platform/tree_ops.h"

namespace velmora {

// The long operations of one run, each a sequence of the engine's steps:
// encoding scans the folder (tree_scan.h), walks it (dir_walk.h), packs it
// through a container kind's writer (pack.h) and wipes it (wipe.h);
// decoding restores a container through its kind's reader (restore.h).
// They reach the windows only through the Host and the disk only through
// the tree operations (folder handles and single names).
class Engine {
  public:
    // "Cancelar" and interrupts reach the runs through `cancel`.
    Engine(TreeOps& files, Host& host, const CipherTables& tables, Clock& clock,
           CancelToken& cancel);
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Each operation works on its request (engine_state.h), options
    // included, and returns how it ended; what its steps share meanwhile
    // stays inside the engine, so one engine serves requests with different
    // options.

    // Encodes the folder request.path into Nombre(path) & ".zol" with
    // request.key, wipes the folder, and unloads the main window.
    RunResult Hacelo(const EngineRequest& request);

    // Seals the folder request.path into Nombre(path) & ".zol" under a key
    // derived from request.password, with every name exactly as the system
    // gives it, then wipes the folder as Hacelo does. The file system must
    // take the program's paths in UTF-8.
    RunResult Seal(const EngineRequest& request);

    // Turns the legacy container request.path, read with request.key, into
    // a sealed container under the same name with request.password, then
    // overwrites and deletes the legacy container (conversion.h). Any
    // failure before the sealed container has the name leaves the legacy
    // one as it was.
    RunResult Convert(const EngineRequest& request);

    // Restores the container request.path next to it with request.key (or
    // request.sealed_keys), deletes the container and shows the restored
    // folder, named in the outcome.
    RunResult Des_carpeta(const EngineRequest& request);

    // What an encoding of the folder request.path checks first that needs
    // no password and touches nothing, with the messages the job gives: a
    // path that names a folder, a folder there, the container's folder and
    // no container there yet. Nothing is checked beside the record of an
    // interrupted wipe, which the job itself explains. The job checks it all
    // again.
    Status CheckBeforePassword(const EngineRequest& request);

    // Returns after about Segundos seconds, pumping events meanwhile.
    void Espera(float Segundos) { velmora::Espera(run_, Segundos); }

    // What the steps of the last operation shared, as it left it (read by
    // the tests).
    const EngineState& state() const { return run_.state; }

    // Runs once the container is complete, right before the wipe, with the
    // found list: the tests' seam, and how velmora-cli times the wipe.
    using BeforeWipe = std::function<void(const FoundList&)>;
    void SetBeforeWipe(BeforeWipe hook) { before_wipe_ = std::move(hook); }

  private:
    // The run's state started anew from the request.
    void Start(const EngineRequest& request);
    RunResult Refuse(const std::string& message);
    RunResult Fail(const std::string& message);
    // A container this system would not restore is a refusal (nothing was
    // touched); anything else a failure.
    RunResult FailOrRefuse(const EngineFailure& failure);
    RunResult Done(bool left_behind);
    // What both kinds do before anything is touched: the folder checked,
    // scanned under the kind's name rules, and the container's path chosen
    // and checked.
    Status StartEncoding(ScannedTree& tree, NameRules rules, std::string& container_path);
    // FolderPath names a folder that can be encoded (not the root, a name
    // that gives a container's name).
    Status CheckFolderPath();
    std::string ContainerPathOf(const std::string& folder) const;
    Status CheckEncodingTarget(const std::string& container_path);
    Status ExplainInterruptedWipe(ScannedTree& tree, const std::string& container_path);
    // Writes the container of the entries through the kind's writer and,
    // when the folder is to be wiped, checks it: read back from the disk
    // through the kind's reader, it must give the bytes the pack read.
    using ReaderOf = std::function<Result<std::unique_ptr<ContainerReader>>(int file, ByteSource&)>;
    void PackContainer(ScannedTree& tree, const WalkResult& walk, const FoundList& entries,
                       ContainerWriter& writer, const std::string& container_path,
                       const ReaderOf& reader_of);
    // From the complete container to the end of the wipe; true when part of
    // the folder is left.
    bool WipeFolder(ScannedTree& tree, const WalkResult& walk, const FoundList& files,
                    const std::string& container_path, bool apply_walk_resets);

    Run run_;
    BeforeWipe before_wipe_;
};

}  // namespace velmora
