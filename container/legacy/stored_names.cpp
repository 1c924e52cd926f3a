#include "container/legacy/stored_names.h"

#include <set>

#include "base/cp1252.h"
#include "base/messages.h"
#include "base/name_text.h"
#include "cipher/cipher_tables.h"
#include "container/path_helpers.h"
#include "container/relative_path.h"

namespace velmora {
namespace {

Error Unsafe(const std::string& name, Msg why) {
    return Error{Text(Msg::kDamagedOrUnsafeName, {ShownName(name), Text(why)})};
}

Status CheckName(const DecodedEntry& entry) {
    const std::string& name = entry.name;
    if (name.empty() || name[0] != '\\')
        return Unsafe(name, Msg::kNameWithoutLeadingBackslash);
    const bool folder = entry.size == -1;
    if (folder != (name.back() == '\\'))
        return Unsafe(name,
                      folder ? Msg::kFolderWithoutFinalBackslash : Msg::kFileWithFinalBackslash);
    if (name == "\\")
        return Status::Ok();
    if (const auto parsed =
            RelativePath::Parse(std::string_view(name).substr(1), kLegacyStoredPath, folder);
        parsed.fault)
        return Unsafe(name, *parsed.fault);
    return Status::Ok();
}

}  // namespace

std::string DecodeStoredNameAsStored(const CipherTables& tables, const std::string& field,
                                     const std::string& key, bool folder) {
    std::size_t length = field.find_last_not_of(' ');
    length = length == std::string::npos ? 0 : length + 1;
    std::string name;
    auto decode_through = [&](std::size_t count) {
        for (std::size_t i = name.size() + 1; i <= count; ++i)
            name.push_back(tables.DesEncCharacter(field, i, key));
    };
    if (key.empty())
        return "";
    decode_through(length);
    while (folder && (name.empty() || name.back() != '\\') && length < field.size())
        decode_through(++length);
    return name;
}

std::string DecodeStoredName(const CipherTables& tables, const std::string& field,
                             const std::string& key, bool folder) {
    return ToUpperCp1252(DecodeStoredNameAsStored(tables, field, key, folder));
}

Status DecodedEntryCheck::Add(std::size_t index) {
    const DecodedEntry& entry = entries_[index];
    if (Status checked = CheckName(entry); !checked)
        return checked;
    if (!names_.insert(index).second)
        return Unsafe(entry.name, Msg::kNameTwice);
    const std::size_t length = entry.size == -1 ? entry.name.size() : entry.name.rfind('\\') + 1;
    if (length == 1)
        has_root_entry_ = true;
    else
        folders_.insert(Part{index, length});
    return Status::Ok();
}

Status DecodedEntryCheck::Finish() const {
    if (!has_root_entry_)
        return Error{Text(Msg::kDamagedNoRootEntry)};
    const Order order{&entries_};
    for (const Part& part : folders_) {
        const std::string_view folder = order.Text(part);
        const std::string_view without_slash = folder.substr(0, folder.size() - 1);
        if (names_.find(without_slash) != names_.end())
            return Unsafe(std::string(without_slash), Msg::kFileAndFolder);
        const std::string_view parent = without_slash.substr(0, without_slash.rfind('\\') + 1);
        if (parent != "\\" && folders_.find(parent) == folders_.end())
            return Unsafe(std::string(folder), Msg::kInFolderNotCreated);
    }
    return Status::Ok();
}

Status CheckDecodedEntries(const std::vector<DecodedEntry>& entries) {
    DecodedEntryCheck check(entries);
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (Status added = check.Add(i); !added)
            return added;
    return check.Finish();
}

}  // namespace velmora
