#include "container/tree_scan.h"

#include "cipher/cp1252_case.h"
#include "container/host.h"

namespace velmora {
namespace {

constexpr std::int64_t kLargestFile = 2147483647;

std::string Quoted(const FileSystem& files, const std::string& path) {
    return "\xAB" + files.DisplayPath(path) + "\xBB";
}

bool HasForbiddenCharacter(const std::string& name) {
    for (const char c : name) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code == 127 || c == ':')
            return true;
    }
    return false;
}

Status CheckEntry(FileSystem& files, const TreeScan& scan, const std::string& path,
                  const DirEntry& entry, EntryInfo& info) {
    if (HasForbiddenCharacter(entry.name))
        return Error{"El nombre " + Quoted(files, path) +
                     " contiene caracteres de control o \xAB:\xBB, que no se pueden guardar."};
    if (entry.kind == EntryKind::kSymlink)
        return Error{Quoted(files, path) +
                     " es un enlace simb\xF3lico. Velmora no codifica carpetas con enlaces: al "
                     "borrar los originales podr\xED"
                     "a destruir datos de fuera de la carpeta."};
    if (entry.kind == EntryKind::kOther)
        return Error{Quoted(files, path) +
                     " no es un archivo ni una carpeta (es un dispositivo, un socket o una "
                     "tuber\xED"
                     "a) y no se puede guardar."};
    info = entry.info;
    if (info.mount_root || (info.kind == EntryKind::kFolder && info.device != scan.root.device))
        return Error{Quoted(files, path) +
                     " es un punto de montaje dentro de la carpeta (otro sistema de archivos o "
                     "un montaje enlazado); no se puede codificar: al borrar los originales "
                     "se destruir\xED"
                     "an datos de fuera de la carpeta."};
    if (info.kind == EntryKind::kFile && info.links > 1)
        return Error{Quoted(files, path) +
                     " tiene otros nombres (enlaces duros). Borrarlo destruir\xED"
                     "a tambi\xE9n "
                     "los datos de esos otros nombres."};
    if (info.kind == EntryKind::kFile && info.size > kLargestFile)
        return Error{Quoted(files, path) +
                     " ocupa 2 GiB o m\xE1s; el formato no admite archivos tan grandes."};
    return Status::Ok();
}

}  // namespace

Result<TreeScan> ScanTree(FileSystem& files, Host& host, const std::string& root) {
    TreeScan scan;
    Result<EntryInfo> root_info = files.Inspect(root);
    if (!root_info)
        return root_info.error();
    if (root_info->kind != EntryKind::kFolder)
        return Error{Quoted(files, root) + " no es una carpeta."};
    scan.root = root_info.value();

    std::vector<std::string> pending = {root};
    while (!pending.empty()) {
        const std::string folder = pending.back();
        pending.pop_back();
        host.PumpEvents();
        Result<std::vector<DirEntry>> entries = files.ListFolder(folder);
        if (!entries)
            return entries.error();

        ScannedFolder& listing = scan.folders[folder];
        const std::string* previous = nullptr;
        for (const DirEntry& entry : entries.value()) {
            const std::string path = folder + "\\" + entry.name;
            if (previous && ToUpperCp1252(*previous) == ToUpperCp1252(entry.name))
                return Error{Quoted(files, folder + "\\" + *previous) + " y " +
                             Quoted(files, path) +
                             " solo se diferencian en may\xFAsculas y min\xFAsculas: al "
                             "restaurarlos se confundir\xED"
                             "an."};
            previous = &entry.name;
            EntryInfo info;
            if (Status checked = CheckEntry(files, scan, path, entry, info); !checked)
                return checked.error();
            scan.attributes[path] = entry.attributes;
            if (info.kind == EntryKind::kFolder) {
                listing.subfolders.push_back(entry.name);
                pending.push_back(path);
            } else {
                listing.files.push_back(entry.name);
                scan.files[path] = info;
            }
        }
    }
    return scan;
}

Status CheckStoredNames(const TreeScan& scan, const std::string& root, const CipherTables& tables,
                        const std::string& key, const FileSystem& files) {
    // The message for one stored path, or "" when the container keeps it.
    auto problem = [&](const std::string& path) -> std::string {
        const std::string relative = path.substr(root.size());
        if (relative.size() > 255)
            return "La ruta " + Quoted(files, path) +
                   " es demasiado larga para el contenedor (m\xE1s de 255 caracteres dentro de "
                   "la carpeta).";
        if (relative.back() == ' ')
            return "El nombre " + Quoted(files, path) +
                   " termina en espacio y no se podr\xED"
                   "a restaurar exactamente.";
        // Only the encoded name's ends can be taken for the field's padding.
        if (tables.EncCharacter(relative, 1, key) == ' ' ||
            tables.EncCharacter(relative, relative.size(), key) == ' ')
            return "Con esta contrase\xF1"
                   "a el nombre " +
                   Quoted(files, path) +
                   " no se puede guardar exactamente. Elija otra contrase\xF1"
                   "a.";
        return "";
    };
    // Of several problems, the one of the first path in name order is told.
    std::string first_path;
    std::string first_problem;
    auto check = [&](const std::string& path) {
        if (!first_path.empty() && path >= first_path)
            return;
        std::string found = problem(path);
        if (!found.empty()) {
            first_path = path;
            first_problem = std::move(found);
        }
    };
    for (const auto& [path, info] : scan.files)
        check(path);
    for (const auto& [folder, listing] : scan.folders)
        if (listing.files.empty())
            check(folder + "\\");
    if (!first_problem.empty())
        return Error{first_problem};
    return Status::Ok();
}

}  // namespace velmora
