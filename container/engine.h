#pragma once

#include <functional>
#include <string>

#include "cipher/cipher_tables.h"
#include "container/engine_state.h"
#include "container/found_list.h"
#include "container/host.h"
#include "container/run.h"
#include "platform/file_system.h"

namespace velmora {

// The long operations of one run, each a sequence of the engine's steps:
// encoding scans the folder (tree_scan.h), walks it (dir_walk.h), packs it
// through a container kind's writer (pack.h) and wipes it (wipe.h);
// decoding restores a container through its kind's reader (restore.h).
// They reach the windows only through the Host and the disk only through
// the FileSystem.
class Engine {
  public:
    Engine(FileSystem& files, Host& host, const CipherTables& tables, Clock& clock,
           EngineState& state, EngineOptions options = {});
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Encodes FolderPath into Nombre(FolderPath) & ".zol" with the key, wipes
    // the folder, and unloads the main window.
    RunResult Hacelo(const std::string& Contrasena);

    // Restores the container FolderPath next to it with PasswordKey, deletes
    // the container and shows the restored folder.
    RunResult Des_carpeta();

    // Returns after about Segundos seconds, pumping events meanwhile.
    void Espera(float Segundos) { velmora::Espera(run_, Segundos); }

    // Runs once the container is complete, right before the wipe, with the
    // found list: the tests' seam, and how velmora-cli times the wipe.
    using BeforeWipe = std::function<void(const FoundList&)>;
    void SetBeforeWipe(BeforeWipe hook) { before_wipe_ = std::move(hook); }

  private:
    RunResult Refuse(const std::string& message);
    RunResult Fail(const std::string& message);
    Status CheckEncodingTarget(const std::string& container_path);

    EngineOptions options_;
    Run run_;
    BeforeWipe before_wipe_;
};

}  // namespace velmora
