#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// The state the encoder, the decoder and the windows share for one run.
struct EngineState {
    // The folder to encode, or the container being decoded.
    std::string FolderPath;
    // Length of FolderPath; cut off each found path to get the stored one.
    std::int64_t BasePathLength = 0;
    double StartTime = 0;
    std::int64_t FoundCount = 0;
    std::int64_t TotalBytes = 0;
    // The restored root folder, ending in "\".
    std::string RestoredPath;
    // What the walk lists for removal after the wipe, in walk order.
    std::vector<std::string> RemovalList;
    // The 15-character key; "" while none is accepted.
    std::string PasswordKey;
};

// What the program does beyond the format's own steps; the defaults are the
// program's behaviour.
struct EngineOptions {
    bool keep_originals = false;  // encode without wiping the folder
    bool keep_container = false;  // decode without deleting the container
    // Where the container is written: "" for the current working folder.
    std::string container_folder;
    // After decoding: hide the main window, open the restored folder and
    // wait one second.
    bool show_restored_folder = true;
};

enum class Outcome { kDone, kRefused, kFailed };

// How a run ended: kRefused means nothing was touched; kFailed means the
// work stopped midway in the safe state (originals intact when encoding,
// container intact when decoding). The message has been shown already.
struct RunResult {
    Outcome outcome = Outcome::kDone;
    std::string message;
};

}  // namespace velmora
