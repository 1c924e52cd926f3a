#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cipher/cipher_tables.h"
#include "cipher/key_derivation.h"
#include "container/engine.h"
#include "tests/engine_support.h"
#include "tests/temp_folder.h"
#include "tests/tree_snapshot.h"

namespace velmora {

// A temporary folder, the real file system behind a recording seam, a test
// host, and one engine run at a time. Containers go into the temporary
// folder itself.
class EngineFixture : public ::testing::Test {
  protected:
    EngineFixture() : tables(nullptr) { tables.CrearBuffer(); }

    std::string Path(const std::string& relative) const { return temp.path + "\\" + relative; }

    RunResult Encode(const std::string& folder, EngineOptions options = {}) {
        state = EngineState{};
        state.FolderPath = Path(folder);
        state.BasePathLength = static_cast<std::int64_t>(state.FolderPath.size());
        state.PasswordKey = key;
        if (options.container_folder.empty())
            options.container_folder = temp.path;
        Engine engine(files, host, tables, clock, state, options);
        if (before_wipe)
            engine.SetBeforeWipe(before_wipe);
        return engine.Hacelo(key);
    }

    RunResult Decode(const std::string& container, EngineOptions options = {}) {
        state = EngineState{};
        state.FolderPath = Path(container);
        state.PasswordKey = key;
        Engine engine(files, host, tables, clock, state, options);
        return engine.Des_carpeta();
    }

    std::vector<std::uint8_t> ContainerBytes(const std::string& relative) const {
        const std::string bytes = temp.Read(relative);
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    }

    TempFolder temp;
    RecordingFileSystem files;
    TestHost host{files, state};
    CipherTables tables;
    SteppingClock clock{1000.0, 0.25};
    EngineState state;
    std::string key = DeriveKey("secreto").value();
    Engine::BeforeWipe before_wipe;
};

}  // namespace velmora
