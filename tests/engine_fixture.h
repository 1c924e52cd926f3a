#pragma once

#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "cipher/cipher_tables.h"
#include "container/engine.h"
#include "container/legacy/container_format.h"
#include "container/legacy/data_coding.h"
#include "container/opened_container.h"
#include "container/sealed/sealed_keys.h"
#include "container/staging_folder.h"
#include "tests/engine_support.h"
#include "tests/temp_folder.h"
#include "tests/tree_snapshot.h"

namespace velmora {

// Changes the byte `from_end` bytes before the end of a file (its bits
// inverted, so that it differs whatever it held).
inline void FlipByteFromEnd(const std::string& native_path, int from_end) {
    std::fstream file(native_path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekg(-from_end, std::ios::end);
    const char held = static_cast<char>(file.get());
    file.seekp(-from_end, std::ios::end);
    file.put(static_cast<char>(~held));
}

#ifndef _WIN32
// Folders made, and a file read, one name at a time through each folder's
// handle: the whole path may pass the system's limit. The last name of
// `path` is the file; MakeThroughHandles makes every name as a folder, or
// the last one a file holding `content` when it is given.
inline void MakeThroughHandles(const std::string& root, const std::vector<std::string>& path,
                               const std::optional<std::string>& content = std::nullopt) {
    int folder = open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (const std::string& name : path) {
        if (content && &name == &path.back()) {
            const int file = openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            EXPECT_EQ(write(file, content->data(), content->size()), ssize_t(content->size()));
            close(file);
            break;
        }
        mkdirat(folder, name.c_str(), 0755);
        const int inner = openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY);
        close(folder);
        folder = inner;
    }
    close(folder);
}
inline std::string ReadThroughHandles(const std::string& root,
                                      const std::vector<std::string>& path) {
    int handle = open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (const std::string& name : path) {
        const int inner = openat(handle, name.c_str(), O_RDONLY);
        close(handle);
        if (inner < 0)
            return "(missing: " + name.substr(0, 10) + ")";
        handle = inner;
    }
    std::string content(4096, '\0');
    const ssize_t read_bytes = read(handle, content.data(), content.size());
    close(handle);
    content.resize(read_bytes > 0 ? static_cast<std::size_t>(read_bytes) : 0);
    return content;
}

#endif

// A temporary folder, the real file system behind a recording seam, a test
// host, and one engine run at a time. Containers go into the temporary
// folder itself.
class EngineFixture : public ::testing::Test {
  protected:
    EngineFixture() : tables(nullptr) { tables.CrearBuffer(); }

    std::string Path(const std::string& relative) const { return temp.path + "\\" + relative; }

    RunResult Encode(const std::string& folder, EngineOptions options = {}) {
        return EncodeAt(Path(folder), options);
    }
    // Encodes the folder named by its program path.
    RunResult EncodeAt(const std::string& folder_path, EngineOptions options = {}) {
        if (options.container_folder.empty())
            options.container_folder = temp.path;
        return Run(&Engine::Hacelo, {.path = folder_path, .key = key, .options = options});
    }

    RunResult Decode(const std::string& container, EngineOptions options = {}) {
        return Run(&Engine::Des_carpeta, {.path = Path(container), .key = key, .options = options});
    }

    RunResult Seal(const std::string& folder, EngineOptions options = {}) {
        options.container_folder = temp.path;
        options.sealed_parameters = kFastParameters;
        return Run(&Engine::Seal, {.path = Path(folder), .password = password, .options = options});
    }

    // One run of a new engine (`before_wipe` armed); what its steps shared
    // is kept for the tests to look at.
    RunResult Run(RunResult (Engine::*run)(const EngineRequest&), const EngineRequest& request) {
        Engine engine(files, host, tables, clock, cancel);
        if (before_wipe)
            engine.SetBeforeWipe(before_wipe);
        const RunResult result = (engine.*run)(request);
        state = engine.state();
        return result;
    }

    // Nothing injected or armed, and a host that has seen nothing.
    void Fresh() {
        files.fail = {};
        files.before = nullptr;
        before_wipe = nullptr;
        changed = false;
        host = TestHost(files, cancel);
    }

    // Plays another program: runs `change` once, right before the first
    // `operation` on a path ending in `suffix`; `changed` tells it ran.
    void ChangeBefore(const std::string& operation, const std::string& suffix,
                      std::function<void()> change) {
        changed = false;
        files.before = [=, this](const std::string& op, const std::string& path) {
            if (!changed && op == operation && path.ends_with(suffix)) {
                changed = true;
                change();
            }
        };
    }

    // Restores a sealed container with the keys its password gives, found as
    // the dialog and velmora-cli find them (the container closed again).
    RunResult Unseal(const std::string& container, EngineOptions options = {}) {
        const auto keys = [&]() -> std::shared_ptr<const SealedKeys> {
            OpenedContainer opened(files);
            Result<OpenedHeader> header = opened.Open(Path(container));
            if (!header || header->kind != ContainerKind::kSealed)
                return nullptr;
            Result<SealedKeys> derived =
                SealedKeys::Derive(password, header->sealed.salt, header->sealed.parameters);
            if (!derived || !derived->Unlock(header->sealed))
                return nullptr;
            return std::make_shared<const SealedKeys>(std::move(derived).value());
        }();
        EXPECT_TRUE(keys) << container;
        options.show_restored_folder = false;
        return Run(&Engine::Des_carpeta,
                   {.path = Path(container), .sealed_keys = keys, .options = options});
    }

    // Runs one case that must end with `outcome` and one message, shown whole
    // with nothing in it that could drive a terminal, leaving the temporary
    // folder exactly as it was.
    void ExpectNothingTouched(const std::string& what, const std::function<RunResult()>& run,
                              Outcome outcome = Outcome::kRefused) {
        const TreeSnapshot before = Snapshot(temp.native);
        host = TestHost(files, cancel);
        EXPECT_EQ(run().outcome, outcome) << what;
        ASSERT_EQ(host.messages.size(), 1u) << what;
        EXPECT_EQ(Snapshot(temp.native), before) << what;
        for (const char c : host.messages[0])
            EXPECT_FALSE(static_cast<unsigned char>(c) < 32 && c != '\n') << what;
    }

    // The run said exactly one thing, holding `part`.
    void ExpectSaidOnce(const std::string& part, const std::string& what = "") {
        ASSERT_EQ(host.messages.size(), 1u) << what;
        EXPECT_NE(host.messages[0].find(part), std::string::npos)
            << what << ": " << host.messages[0];
    }

    std::vector<std::uint8_t> ContainerBytes(const std::string& relative) const {
        const std::string bytes = temp.Read(relative);
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    }

    // Encodes folder into folder.zol with the legacy kind's name coding,
    // keeping nothing but the container.
    void EncodeAway(const std::string& folder) {
        files.SetNameCoding(NameCoding::kWindows1252);
        ASSERT_EQ(Encode(folder).outcome, Outcome::kDone);
        ASSERT_FALSE(temp.Exists(folder));
        host = TestHost(files, cancel);
    }

    // A legacy container written record by record, in the widest records,
    // for names our encoder never writes. Each entry: stored relative path
    // and size (-1 for a folder); each file holds that many 'd'.
    void WriteLegacyContainer(const std::string& name,
                              const std::vector<std::pair<std::string, std::int32_t>>& entries) {
        const auto head = SerializeHeader(
            {16, static_cast<std::int32_t>(entries.size()), 2, MakePasswordCheck(tables, key)});
        std::string bytes(head.begin(), head.end());
        std::string data;
        for (const auto& [path, size] : entries) {
            const auto record = SerializeRecord({tables.Enc(path, key), 32, 16, size}, 2);
            bytes.append(record.begin(), record.end());
            std::string content(static_cast<std::size_t>(std::max(size, 0)), 'd');
            EncodeFileData(reinterpret_cast<std::uint8_t*>(content.data()), content.size(),
                           KeyStream(tables, key));
            data += content;
        }
        temp.Write(name, bytes + data);
    }

    TempFolder temp;
    RecordingFileSystem files;
    CancelToken cancel;
    TestHost host{files, cancel};
    CipherTables tables;
    SteppingClock clock{1000.0, 0.25};
    EngineState state;
    std::string key = DeriveKey("secreto").value();
    std::string password = "contraseña larga";
    Engine::BeforeWipe before_wipe;
    bool changed = false;  // the change armed by ChangeBefore was made
};

}  // namespace velmora
