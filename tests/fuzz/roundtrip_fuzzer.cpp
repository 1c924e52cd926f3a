// libFuzzer target: the bytes describe a small folder tree (names, nesting,
// sizes, contents); it is encoded with our encoder and restored, and the
// restored tree must be the original with upper-cased names.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "base/cp1252.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace velmora;

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
    static const TempFolder temp;
    const fs::path scratch = temp.native;

    temp.Remove({"T", "out"});
    temp.MakeFolder("T");
    temp.MakeFolder("out");
    // Zeros once the bytes run out.
    FuzzedDataProvider recipe(data, size);
    auto next = [&] { return recipe.ConsumeIntegral<std::uint8_t>(); };
    std::vector<fs::path> folders = {scratch / "T"};
    for (int item = 0; item < 12 && recipe.remaining_bytes() > 0; ++item) {
        const std::uint8_t kind = next();
        const fs::path& parent = folders[next() % folders.size()];
        const std::string name = std::string(1, "abcdefgh"[kind % 8]) + std::to_string(item);
        if (kind & 0x80) {
            fs::create_directory(parent / name);
            folders.push_back(parent / name);
            continue;
        }
        // Sizes around the 64 KiB block edge as well as small ones.
        const std::size_t length = (kind & 0x40) ? 65530 + next() % 12 : next();
        std::string content = recipe.ConsumeBytesAsString(std::min<std::size_t>(length, 64));
        content.resize(length, '\0');
        std::ofstream(parent / name, std::ios::binary) << content;
    }
    const auto original = Tree(scratch / "T", true);

    if (RunEngine([&](Engine& engine) {
            return engine.Hacelo(
                {.path = temp.path + "\\T",
                 .key = FuzzKey(),
                 .options = {.keep_originals = true, .container_folder = temp.path + "\\out"}});
        }).outcome != Outcome::kDone)
        std::abort();
    if (Decode(temp.path + "\\out\\T.zol").outcome != Outcome::kDone)
        std::abort();
    if (Tree(scratch / "out" / "T", false) != original)
        std::abort();
    return 0;
}
