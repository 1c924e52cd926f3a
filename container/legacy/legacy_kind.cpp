#include "container/legacy/legacy_kind.h"

#include "base/messages.h"

namespace velmora {

Status LegacyKind::CheckStoredNames(const TreeScan& scan, const std::string& root) const {
    const PathCodec& paths = run_.files.paths();
    // The message for one stored path, or "" when the container keeps it.
    auto problem = [&](const std::string& relative) -> std::string {
        if (relative.size() > 255)
            return Text(Msg::kStoredPathTooLong, {paths.DisplayPath(root + relative)});
        if (relative.back() == ' ')
            return Text(Msg::kNameEndsInSpace, {paths.DisplayPath(root + relative)});
        // Only the encoded name's ends can be taken for the field's padding.
        if (run_.tables.EncCharacter(relative, 1, key_) == ' ' ||
            run_.tables.EncCharacter(relative, relative.size(), key_) == ' ')
            return Text(Msg::kNameNotStorableWithPassword, {paths.DisplayPath(root + relative)});
        return "";
    };
    // Of several problems, the one of the first path in name order is told
    // (every path begins with the root, so the parts below it decide).
    std::string first_path;
    std::string first_problem;
    std::string relative;
    for (std::uint32_t i = 0; i < scan.entries.size(); ++i) {
        const ScannedEntry& entry = scan.entries[i];
        if (entry.info.kind == EntryKind::kFolder) {
            bool has_files = false;
            for (std::uint32_t c = 0; c < entry.children && !has_files; ++c)
                has_files = !scan.IsFolder(entry.first_child + c);
            if (has_files)
                continue;
        }
        relative.clear();
        scan.AppendRelativePath(i, relative);
        if (entry.info.kind == EntryKind::kFolder)
            relative += '\\';
        if (!first_path.empty() && relative >= first_path)
            continue;
        std::string found = problem(relative);
        if (!found.empty()) {
            first_path = relative;
            first_problem = std::move(found);
        }
    }
    if (!first_problem.empty())
        return Error{first_problem};
    return Status::Ok();
}

Result<std::unique_ptr<ContainerReader>> LegacyKind::ReaderOfWritten(int file,
                                                                     ByteSource& source) const {
    Result<ContainerHeader> header = ReadContainerHeader(source);
    if (!header)
        return header.error();
    return std::unique_ptr<ContainerReader>(Reader(file, source, header.value()));
}

}  // namespace velmora
