#pragma once

// What the fuzz targets share: a broken promise ends the run, and an engine
// on the real file system runs with the fuzzers' key ("fuzz").
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cipher/cipher_tables.h"
#include "container/engine.h"
#include "tests/engine_support.h"

namespace velmora {

[[noreturn]] inline void Broken(const char* what) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

inline const std::string& FuzzKey() {
    static const std::string key = DeriveKey("fuzz").value();
    return key;
}

// One run of an engine of its own, the cipher's tables made once.
template <typename Run>
RunResult RunEngine(Run run) {
    static const CipherTables tables = [] {
        CipherTables t(nullptr);
        t.CrearBuffer();
        return t;
    }();
    PosixFileSystem files;
    SteppingClock clock(0, 1);
    CancelToken cancel;
    TestHost host(files, cancel);
    Engine engine(files, host, tables, clock, cancel);
    return run(engine);
}

// Restores the container at `path` (the program's form) with the fuzzers'
// key, the restored folder not shown.
inline RunResult Decode(const std::string& path) {
    return RunEngine([&](Engine& engine) {
        return engine.Des_carpeta(
            {.path = path, .key = FuzzKey(), .options = {.show_restored_folder = false}});
    });
}

}  // namespace velmora
