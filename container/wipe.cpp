#include <errno.h>

#include "container/engine.h"
#include "container/path_helpers.h"

namespace velmora {
namespace {

constexpr std::int64_t kChunk = 65535;
// The last chunk is shorter than one and a half chunks.
constexpr std::size_t kLargestChunk = 98303;

bool IsAccessError(int error_number) {
    return error_number == EACCES || error_number == EPERM || error_number == EBUSY ||
           error_number == ETXTBSY;
}

// "T\a\." names the folder T\a itself.
std::string WithoutDotComponent(const std::string& path) {
    if (path.size() >= 2 && path.compare(path.size() - 2, 2, "\\.") == 0)
        return path.substr(0, path.size() - 2);
    return path;
}

}  // namespace

void Engine::BorrarOrig(const FoundList& Lista) {
    std::string item;
    for (std::size_t i = 0; i < Lista.size(); ++i) {
        if (Lista.IsFolderEntry(i))
            continue;
        Lista.PathInto(i, item);
        (void)files_.SetAttr(item, 0);
        if (Sobrescribir(item, scan_.entries[Lista[i]]))
            (void)files_.DeleteFile(item);
    }
    for (auto it = state_.RemovalList.rbegin(); it != state_.RemovalList.rend(); ++it) {
        if (Nombre(*it) == "..")
            continue;  // the encoded folder's parent
        const std::string folder = WithoutDotComponent(*it);
        (void)files_.SetAttr(folder, 0);
        (void)files_.RemoveFolder(folder);
    }
    const std::string parent = ParentOf(state_.FolderPath);
    if (!parent.empty())
        (void)files_.SyncFolder(parent);
}

// Overwrites the file with bytes of 255 and makes that durable. Returns false
// when the file is no longer the one the walk saw, which must then be left
// alone; on any other failure the delete is still tried.
bool Engine::Sobrescribir(std::string& path, const ScannedEntry& seen) {
    path = TrimSpaces(path);
    const std::string shown = files_.DisplayPath(path);
    auto same_file = [&](const Result<EntryInfo>& now) {
        return now && now->kind == EntryKind::kFile && now->device == seen.device &&
               now->inode == seen.inode && now->size == seen.size;
    };
    auto leave_alone = [&] {
        host_.ShowMessage("\xAB" + shown +
                              "\xBB ha cambiado desde que se ley\xF3 la carpeta; no se ha "
                              "sobrescrito ni borrado.",
                          MessageIcon::kCritical);
        return false;
    };
    const Result<EntryInfo> before_open = files_.Inspect(path);
    if (!before_open)
        return true;
    if (!same_file(before_open))
        return leave_alone();
    (void)files_.SetAttr(path, 0);
    const Result<int> file = files_.Open(path, OpenMode::kReadWrite);
    if (!file) {
        if (IsAccessError(file.error().code))
            host_.ShowMessage("Error al intentar eliminar el archivo " + shown + "\n" +
                                  "El archivo est\xE1 siendo utilizado",
                              MessageIcon::kCritical);
        return true;
    }
    struct Closer {
        FileSystem& files;
        int number;
        ~Closer() { (void)files.Close(number); }
    } closer{files_, file.value()};
    if (!same_file(files_.InspectOpen(file.value())))
        return leave_alone();

    static const std::vector<std::uint8_t> ones(kLargestChunk, 0xFF);
    const std::int64_t n = before_open->size;
    if (n > kChunk) {
        const std::int64_t chunks = (n + kChunk / 2) / kChunk;  // nearest; halves cannot occur
        std::int64_t written = 0;
        for (std::int64_t c = 1; c <= chunks; ++c) {
            const std::int64_t piece = c < chunks ? kChunk : n - written;
            if (!files_.Write(file.value(), written, ones.data(), static_cast<std::size_t>(piece)))
                return true;
            written += piece;
            host_.PumpEvents();
        }
    } else if (n > 0) {
        if (!files_.Write(file.value(), 0, ones.data(), static_cast<std::size_t>(n)))
            return true;
    }
    (void)files_.Flush(file.value());
    host_.PumpEvents();
    (void)files_.Close(file.value());
    host_.PumpEvents();
    return true;
}

}  // namespace velmora
