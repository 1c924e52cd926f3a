// libFuzzer target: the bytes describe a small folder tree (names, nesting,
// sizes, contents); it is encoded with our encoder and restored, and the
// restored tree must be the original with upper-cased names.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "cipher/cp1252_case.h"
#include "cipher/key_derivation.h"
#include "container/engine.h"
#include "platform/names.h"
#include "tests/engine_support.h"

namespace {

namespace fs = std::filesystem;
using namespace velmora;

// Reads the description one byte at a time; zeros once it runs out.
class Recipe {
  public:
    Recipe(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }
    bool Done() const { return at_ >= size_; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

std::map<std::string, std::string> Tree(const fs::path& root, bool upper) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string path = fs::relative(entry.path(), root).string();
        if (upper)
            path = ToUpperCp1252(path);
        std::string content = "<folder>";
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            content.assign(std::istreambuf_iterator<char>(in), {});
        }
        tree[path] = content;
    }
    return tree;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CipherTables tables = [] {
        CipherTables t(nullptr);
        t.CrearBuffer();
        return t;
    }();
    static const std::string key = DeriveKey("fuzz").value();
    static const fs::path scratch = [] {
        std::string pattern = (fs::temp_directory_path() / "velmora-roundtrip-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        return fs::path(pattern);
    }();

    fs::remove_all(scratch / "T");
    fs::remove_all(scratch / "out");
    fs::create_directories(scratch / "T");
    fs::create_directories(scratch / "out");
    Recipe recipe(data, size);
    std::vector<fs::path> folders = {scratch / "T"};
    for (int item = 0; item < 12 && !recipe.Done(); ++item) {
        const std::uint8_t kind = recipe.Next();
        const fs::path& parent = folders[recipe.Next() % folders.size()];
        const std::string name = std::string(1, "abcdefgh"[kind % 8]) + std::to_string(item);
        if (kind & 0x80) {
            fs::create_directory(parent / name);
            folders.push_back(parent / name);
            continue;
        }
        // Sizes around the 64 KiB block edge as well as small ones.
        const std::size_t length = (kind & 0x40) ? 65530 + recipe.Next() % 12 : recipe.Next();
        std::string content(length, '\0');
        for (std::size_t i = 0; i < length && i < 64; ++i)
            content[i] = static_cast<char>(recipe.Next());
        std::ofstream(parent / name, std::ios::binary) << content;
    }
    const auto original = Tree(scratch / "T", true);

    PosixFileSystem files;
    EngineState encoding;
    TestHost host(files, encoding);
    SteppingClock clock(0, 1);
    encoding.FolderPath = ProgramPath((scratch / "T").string()).value();
    encoding.BasePathLength = static_cast<std::int64_t>(encoding.FolderPath.size());
    Engine encoder(files, host, tables, clock, encoding,
                   {.keep_originals = true,
                    .container_folder = ProgramPath((scratch / "out").string()).value()});
    if (encoder.Hacelo(key).outcome != Outcome::kDone)
        std::abort();

    EngineState decoding;
    decoding.FolderPath = ProgramPath((scratch / "out" / "T.zol").string()).value();
    decoding.PasswordKey = key;
    Engine decoder(files, host, tables, clock, decoding, {.show_restored_folder = false});
    if (decoder.Des_carpeta().outcome != Outcome::kDone)
        std::abort();
    if (Tree(scratch / "out" / "T", false) != original)
        std::abort();
    return 0;
}
