#include "container/sealed/sealed_tree_check.h"

#include <string_view>

#include "base/utf8.h"
#include "container/relative_path.h"

namespace velmora {
namespace {

std::optional<Msg> PathFault(std::string_view path) {
    if (path.size() > kSealedMaxPathBytes)
        return Msg::kSealedEntryTooLong;
    if (!IsValidUtf8(path))
        return Msg::kSealedEntryNotUtf8;
    return RelativePath::Parse(path, kSealedStoredPath).fault;
}

bool FieldsValid(const SealedEntry& entry) {
    return (!entry.folder || entry.size == 0) && entry.mtime_ns < 1'000'000'000 &&
           entry.mode <= 07777;
}

}  // namespace

std::optional<Msg> SealedTreeCheck::Admit(const SealedEntry& entry) {
    if (admitted_.empty()) {
        if (!entry.folder || !entry.path.empty())
            return Msg::kSealedEntryNotRoot;
    } else if (const std::optional<Msg> fault = PathFault(entry.path)) {
        return fault;
    }
    if (!FieldsValid(entry))
        return Msg::kSealedEntryBadFields;
    if (!admitted_.empty()) {
        const std::size_t slash = entry.path.rfind('/');
        const std::string parent = slash == std::string::npos ? "" : entry.path.substr(0, slash);
        const auto found = admitted_.find(parent);
        if (found == admitted_.end() || !found->second)
            return Msg::kInFolderNotCreated;
    }
    if (!admitted_.emplace(entry.path, entry.folder).second)
        return Msg::kNameTwice;
    return std::nullopt;
}

}  // namespace velmora
