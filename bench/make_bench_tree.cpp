// Writes one of the benchmark trees, the same bytes on every run: a fixed
// seed and incompressible data.
//   mixed: 8 files of 48 MiB, 2,000 files of 1-64 KiB, 200 empty files and
//          50 empty folders, over 4 levels (about 450 MiB)
//   small: 20,000 files of 0-8 KiB over 3 levels (about 80 MiB)
//   large: 200,000 files of 0-1 KiB over 4 levels (1,885 folders), for the
//          memory a run needs as the tree grows
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// splitmix64: small, fast and the same everywhere.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint64_t Below(std::uint64_t bound) { return Next() % bound; }

  private:
    std::uint64_t state_;
};

void WriteRandomFile(const fs::path& path, std::uint64_t size, Random& random) {
    std::vector<std::uint64_t> chunk(1 << 16);
    std::ofstream out(path, std::ios::binary);
    while (size > 0) {
        for (auto& word : chunk)
            word = random.Next();
        const std::uint64_t now = std::min<std::uint64_t>(size, chunk.size() * 8);
        out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(now));
        size -= now;
    }
}

// A file of at most a few KiB, drawing only the words it needs.
void WriteSmallRandomFile(const fs::path& path, std::uint64_t size, Random& random) {
    std::vector<std::uint64_t> words((size + 7) / 8);
    for (auto& word : words)
        word = random.Next();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(words.data()), static_cast<std::streamsize>(size));
}

// Folders of a tree `levels` deep with `fan_out` subfolders each.
std::vector<fs::path> Folders(const fs::path& root, int levels, int fan_out) {
    std::vector<fs::path> all = {root};
    std::vector<fs::path> level = {root};
    for (int depth = 1; depth < levels; ++depth) {
        std::vector<fs::path> next;
        for (const fs::path& parent : level)
            for (int i = 0; i < fan_out; ++i)
                next.push_back(parent / ("d" + std::to_string(depth) + "_" + std::to_string(i)));
        all.insert(all.end(), next.begin(), next.end());
        level = next;
    }
    for (const fs::path& folder : all)
        fs::create_directories(folder);
    return all;
}

std::string FileName(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "f%05d.dat", number);
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string kind = argc == 3 ? argv[1] : "";
    if (kind != "mixed" && kind != "small" && kind != "large") {
        std::fprintf(stderr, "usage: make_bench_tree mixed|small|large FOLDER\n");
        return 2;
    }
    const fs::path root = argv[2];
    fs::remove_all(root);
    Random random(kind == "mixed" ? 20261205 : kind == "small" ? 20261206 : 20261207);
    int number = 0;
    if (kind == "mixed") {
        const std::vector<fs::path> folders = Folders(root, 4, 3);  // 40 folders
        for (int i = 0; i < 8; ++i)
            WriteRandomFile(folders[random.Below(folders.size())] / FileName(number++), 48ull << 20,
                            random);
        for (int i = 0; i < 2000; ++i)
            WriteRandomFile(folders[random.Below(folders.size())] / FileName(number++),
                            1024 + random.Below(63 * 1024 + 1), random);
        for (int i = 0; i < 200; ++i)
            std::ofstream(folders[random.Below(folders.size())] / FileName(number++));
        for (int i = 0; i < 50; ++i)
            fs::create_directories(folders[random.Below(folders.size())] /
                                   ("empty" + std::to_string(i)));
    } else if (kind == "large") {
        const std::vector<fs::path> folders = Folders(root, 4, 12);  // 1,885 folders
        for (int i = 0; i < 200000; ++i)
            WriteSmallRandomFile(folders[random.Below(folders.size())] / FileName(number++),
                                 random.Below(1024 + 1), random);
    } else {
        const std::vector<fs::path> folders = Folders(root, 3, 10);  // 111 folders
        for (int i = 0; i < 20000; ++i)
            WriteRandomFile(folders[random.Below(folders.size())] / FileName(number++),
                            random.Below(8 * 1024 + 1), random);
    }
    return 0;
}
