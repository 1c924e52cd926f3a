#include <algorithm>
#include <set>

#include "container/buffered_io.h"
#include "container/container_format.h"
#include "container/data_coding.h"
#include "container/engine.h"
#include "container/engine_failure.h"
#include "container/path_helpers.h"

namespace velmora {
namespace {

constexpr int kSettableBits = kReadOnly | kHidden | kSystem | kArchive;
constexpr int kLargestCopyNumber = 32767;

// A restored path under the root: the stored parts begin with "\", so the
// root's own "\" is not repeated.
std::string UnderRoot(const std::string& root, const std::string& part) {
    std::string path = root + part.substr(1);
    if (path.size() > 1 && path.back() == '\\')
        path.pop_back();
    return path;
}

}  // namespace

// The stored byte less the folder bit, kept to the bits that can be set. The
// read-only bit waits until the folder's files are written: on POSIX it
// would keep them from being created.
void Engine::SetFolderAttributes(const std::string& folder, std::uint8_t stored) {
    const int attributes = (stored >= kFolder ? stored - kFolder : stored) & kSettableBits;
    OrFail(files_.SetAttr(folder, attributes & ~kReadOnly));
    if (attributes & kReadOnly)
        read_only_folders_.push_back(folder);
}

void Engine::Crear_carpetas(const std::vector<DecodedEntry>& Nuevo,
                            std::uint8_t folder_attributes) {
    // Each entry's folder part, as a view into its name.
    struct Part {
        std::string_view path;
        std::uint8_t attributes;
    };
    std::vector<Part> parts;
    parts.reserve(Nuevo.size());
    for (const DecodedEntry& entry : Nuevo)
        parts.push_back({TrimmedSpaces(recortar(entry.name)), entry.parent_attributes});
    std::stable_sort(parts.begin(), parts.end(),
                     [](const Part& a, const Part& b) { return a.path.size() < b.path.size(); });

    const std::string& container = state_.FolderPath;
    const std::string R = container.substr(0, container.size() - 4);
    auto taken = [&](const std::string& path) {
        return files_.Inspect(path).ok() ||
               !OrFail(files_.Dir(path + "\\", kMaskEverything)).empty();
    };
    std::string root = R;
    for (int n = 2; taken(root); ++n) {
        if (n > kLargestCopyNumber)
            ThrowFailure(Error{"Ya existen demasiadas copias restauradas de \xAB" +
                               files_.DisplayPath(R) + "\xBB."});
        root = R + " (" + std::to_string(n) + ")";
    }
    OrFail(files_.MakeFolder(root));
    SetFolderAttributes(root, folder_attributes);
    state_.RestoredPath = root + "\\";

    // Each folder once, after its parent. Entries of one folder need not
    // stand together in a container (\A\X, \B\Y, \A\Z), so every folder
    // made is remembered, not only the last.
    std::set<std::string_view> made = {parts.front().path};
    for (std::size_t k = 1; k < parts.size(); ++k) {
        if (!made.insert(parts[k].path).second)
            continue;
        const std::string folder = UnderRoot(state_.RestoredPath, std::string(parts[k].path));
        OrFail(files_.MakeFolder(folder));
        host_.PumpEvents();
        SetFolderAttributes(folder, parts[k].attributes);
    }
}

void Engine::Extraer(const std::vector<DecodedEntry>& Nombres, std::uint8_t T) {
    host_.SetCaption("Decodificando...");
    const int container = OrFail(files_.Open(state_.FolderPath, OpenMode::kRead));
    const std::int64_t data_area = static_cast<std::int64_t>(kHeaderSize) +
                                   state_.FoundCount * static_cast<std::int64_t>(RecordSize(T));
    BufferedReader in(files_, container, data_area);
    const KeyStream stream(tables_, state_.PasswordKey);
    std::vector<std::uint8_t> buffer(kBlockSize);
    std::int64_t done = 0;

    for (const DecodedEntry& entry : Nombres) {
        if (entry.size < 0)
            continue;
        const std::string path = UnderRoot(state_.RestoredPath, TrimSpaces(entry.name));
        const int output = OrFail(files_.Open(path, OpenMode::kCreateNew));
        std::int64_t written = 0;
        auto piece = [&](std::size_t length, bool full_block) {
            if (OrFail(in.Read(buffer.data(), length)) != length)
                ThrowFailure(Error{"El contenedor termina antes de lo esperado."});
            host_.PumpEvents();
            if (full_block)
                DecodeFullBlock(buffer.data(), stream);
            else
                DecodeWhole(buffer.data(), length, stream);
            OrFail(files_.Write(output, written, buffer.data(), length));
            written += static_cast<std::int64_t>(length);
        };
        const CodingPlan plan = PlanFor(entry.size);
        for (std::int64_t block = 0; block < plan.full_blocks; ++block)
            piece(kBlockSize, true);
        piece(plan.tail, false);
        if (plan.full_blocks == 0)
            host_.PumpEvents();

        if (entry.size > 0) {
            done += entry.size;
            host_.AdvanceProgress(done * 10 / (state_.TotalBytes + 1));
        }
        OrFail(files_.Close(output));
    }
    files_.CloseAll();
    host_.PumpEvents();

    for (auto it = read_only_folders_.rbegin(); it != read_only_folders_.rend(); ++it)
        OrFail(files_.SetAttr(*it, kReadOnly | (OrFail(files_.GetAttr(*it)) & ~kFolder)));
    // Everything restored reaches the disk before the container goes; a kept
    // container leaves nothing at risk.
    if (options_.keep_container)
        return;
    OrFail(files_.SyncFileSystem(state_.RestoredPath));
    OrFail(files_.SetAttr(state_.FolderPath, 0));
    OrFail(files_.DeleteFile(state_.FolderPath));
    const std::string parent = ParentOf(state_.FolderPath);
    (void)files_.SyncFolder(parent.empty() ? "." : parent);
}

}  // namespace velmora
