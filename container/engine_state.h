#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "container/sealed/sealed_format.h"

namespace velmora {

class SealedKeys;

// What the program does beyond the format's own steps; the defaults are the
// program's behaviour.
struct EngineOptions {
    bool keep_originals = false;  // encode without wiping the folder
    bool keep_container = false;  // decode without deleting the container
    // Decode a legacy container with the names as they were stored, not
    // upper-cased.
    bool original_case = false;
    // Where the container is written: "" for the current working folder.
    std::string container_folder;
    // After decoding: hide the main window, open the restored folder and
    // wait one second.
    bool show_restored_folder = true;
    // Tell exactly what the wipe could not do, and sum up what was left of
    // the folder. The program's windows show only their own message.
    bool report_leftovers = false;
    // The wipe's batches: overwritten files are flushed once per batch, then
    // deleted. The bounds are what a failed flush can leave overwritten but
    // not deleted.
    std::int64_t wipe_batch_bytes = 64 << 20;
    std::size_t wipe_batch_files = 1000;
    // The key derivation's limits and the message size of sealed
    // containers written.
    SealedParameters sealed_parameters;
};

// What one run is asked to work on: the folder to encode or seal, or the
// container to decode or convert, what opens it, and how.
struct EngineRequest {
    // The program's form of the path.
    std::string path;
    // The legacy kind's 15-character key: to encode with, or to read the
    // container decoded or converted.
    std::string key;
    // The password of the sealed container written (UTF-8, as typed).
    std::string password;
    // The keys of the sealed container decoded, its password checked
    // against it.
    std::shared_ptr<const SealedKeys> sealed_keys;
    EngineOptions options;
};

// What the steps of one run share while it works, from its request on.
struct EngineState {
    EngineState() = default;
    explicit EngineState(const EngineRequest& request)
        : FolderPath(request.path),
          BasePathLength(static_cast<std::int64_t>(request.path.size())),
          PasswordKey(request.key),
          sealed_keys(request.sealed_keys) {}

    // The folder to encode, or the container being decoded.
    std::string FolderPath;
    // Length of FolderPath; cut off each found path to get the stored one.
    std::int64_t BasePathLength = 0;
    std::int64_t TotalBytes = 0;
    // The restored root folder, ending in "\".
    std::string RestoredPath;
    // What the walk lists for removal after the wipe, in walk order.
    std::vector<std::string> RemovalList;
    // The 15-character key of a legacy container read.
    std::string PasswordKey;
    // The keys of the sealed container being decoded.
    std::shared_ptr<const SealedKeys> sealed_keys;
};

enum class Outcome { kDone, kRefused, kFailed };

// How a run ended: kRefused means nothing was touched; kFailed means the
// work stopped midway in the safe state (originals intact when encoding,
// container intact when decoding). The message has been shown already.
struct RunResult {
    Outcome outcome = Outcome::kDone;
    std::string message;
    // Encoding finished with a complete container, but part of the folder
    // could not be wiped and is still there.
    bool left_behind = false;
    // Decoding a sealed container: its index was read, then damage its
    // parity cannot rebuild was found in the files' chunks (the files
    // outside the damage can still be salvaged).
    bool files_damaged = false;
    // Decoding done: the restored root folder, ending in "\\".
    std::string restored_path;
};

}  // namespace velmora
