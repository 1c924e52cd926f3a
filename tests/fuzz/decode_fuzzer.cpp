// libFuzzer target: any bytes as a container, read and then restored into a
// scratch folder with a fixed key. Beyond "no crash" it checks that what
// the reader accepts lies inside the file, and that a decode never writes
// anywhere but the restored folder next to the container.
#include <filesystem>
#include <string>

#include "container/legacy/legacy_reader.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/temp_folder.h"

namespace fs = std::filesystem;
using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const TempFolder scratch;
    const std::vector<std::uint8_t> bytes(data, data + size);
    MemoryByteSource source(bytes);
    const Result<ContainerIndex> index = ReadContainerIndex(source);
    if (index && index->data_offset + index->data_length > static_cast<std::int64_t>(size))
        Broken("the reader accepted sizes past the end of the file");

    const fs::path work = fs::path(scratch.native) / "in";
    fs::remove_all(work);
    scratch.Write("in/c.zol", std::string(reinterpret_cast<const char*>(data), size));

    const RunResult result = Decode(scratch.path + "\\in\\c.zol");

    // Nothing may appear but the restored folder "c" (and, unless the run
    // finished, the container), nothing outside the scratch folder's "in".
    for (const auto& entry : fs::directory_iterator(work)) {
        const std::string name = entry.path().filename().string();
        if (name == "c.zol" && result.outcome != Outcome::kDone)
            continue;
        if (name != "c")
            Broken("a decode wrote beside its restored folder");
        if (result.outcome == Outcome::kRefused)
            Broken("a refused container created a folder");
    }
    for (const auto& entry : fs::directory_iterator(scratch.native))
        if (entry.path().filename() != "in")
            Broken("a decode wrote outside its folder");
    if (fs::exists(work / "c"))
        for (const auto& entry : fs::recursive_directory_iterator(work / "c"))
            if (entry.is_symlink())
                Broken("a decode made a link");
    return 0;
}
