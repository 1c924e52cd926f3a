#include "cli/commands.h"

#include <algorithm>

#include "base/cp1252.h"
#include "base/messages.h"
#include "base/name_text.h"
#include "container/legacy/legacy_reader.h"
#include "container/legacy/stored_names.h"

namespace velmora {
namespace {

constexpr int kTries = 3;

}  // namespace

// Asks until the dialog's rules accept the password, as the dialog does.
Result<std::string> AskKey(CommandContext& run, DialogMode mode, const std::string& stored_check) {
    PasswordPrompt& prompt = run.prompt;
    const bool encoding = mode == DialogMode::kEncoding;
    for (int attempt = 0; attempt < (prompt.interactive() ? kTries : 1); ++attempt) {
        Result<TypedPassword> first = prompt.Ask(
            Text(encoding ? Msg::kTypePasswordToEncode : Msg::kTypePasswordToDecode) + " ");
        if (!first)
            return first.error();
        Result<TypedPassword> second = first;
        if (encoding && prompt.interactive())
            second = prompt.Ask(Text(Msg::kRepeatPassword) + " ");
        if (!second)
            return second.error();
        const PasswordDecision decision =
            DecidePassword(run.tables, mode, first.value(), second.value(), stored_check);
        if (decision.accepted())
            return decision.key;
        Say(decision.message);
    }
    return Error{""};
}

namespace {

// The name of `list --json`: as stored, "\\A\\B\\" as "A/B", in UTF-8.
std::string JsonName(std::string stored) {
    std::replace(stored.begin(), stored.end(), '\\', '/');
    const std::size_t first = stored.find_first_not_of('/');
    if (first == std::string::npos)
        return "";
    return DisplayUtf8(stored.substr(first, stored.find_last_not_of('/') - first + 1));
}

// Checks the whole index first, then prints one line per entry as it is
// read again (a table, or JSON with the names as stored; the kind keeps no
// times or permissions): a damaged container prints nothing, and a huge
// index is never held in memory.
int List(ByteSource& source, const CipherTables& tables, const ContainerHeader& header,
         const std::string& key, bool json) {
    if (Status checked =
            ForEachRecord(source, header, [](const EntryRecord&) { return Status::Ok(); });
        !checked) {
        Say(checked.error().message);
        return kExitRefused;
    }
    if (!json) {
        Print(Text(Msg::kListSummary, {std::to_string(header.EntryCount),
                                       std::to_string(RecordSize(header.NameWidthCode)),
                                       std::to_string(header.FolderAttributes)}));
        Print(Formatted("%5s %5s %12s  %s", Text(Msg::kColumnAttributes).c_str(),
                        Text(Msg::kColumnParentAttributes).c_str(), Text(Msg::kColumnSize).c_str(),
                        Text(Msg::kColumnName).c_str()));
    }
    Status listed = ForEachRecord(source, header, [&](const EntryRecord& record) {
        const bool folder = record.EntrySize == -1;
        if (json) {
            PrintJson({JsonName(DecodeStoredNameAsStored(tables, record.EncodedName, key, folder)),
                       folder, record.EntrySize, "", record.EntryAttributes, -1});
            return Status::Ok();
        }
        const std::string name = DecodeStoredName(tables, record.EncodedName, key, folder);
        const std::string size = folder ? Text(Msg::kFolderSize) : std::to_string(record.EntrySize);
        char columns[64];
        std::snprintf(columns, sizeof columns, "%5d %5d %12s  ", record.EntryAttributes,
                      record.ParentAttributes, size.c_str());
        Print(columns + ShownName(name));
        return Status::Ok();
    });
    if (!listed) {
        Say(listed.error().message);
        return kExitRefused;
    }
    return kExitOk;
}

// What the structure allows: every record read and checked as the decoder
// checks it, and every file's data there to be read. The kind keeps no
// check value of its data, so a changed byte cannot be found; it says so.
int Verify(CommandContext& run, OpenedContainer& container, const ContainerHeader& header,
           const std::string& key) {
    LegacyReader reader(run.files, container.file(), container.source(), header, run.tables,
                        run.host, key);
    Result<RestoreIndex> index = reader.ReadIndex();
    Status read = index ? Status::Ok() : Status(index.error());
    std::int64_t files = 0;
    std::int64_t bytes = 0;
    for (std::size_t i = 0; read && i < index->entries.size(); ++i) {
        const DecodedEntry& entry = index->entries[i];
        if (entry.size < 0)
            continue;
        ++files;
        bytes += entry.size;
        read = reader.ReadFileData(entry,
                                   [](const std::uint8_t*, std::size_t) { return Status::Ok(); });
    }
    if (!read) {
        Say(read.error().message);
        return kExitRefused;
    }
    Print(Text(Msg::kLegacyStructureSound, {std::to_string(index->entries.size()),
                                            std::to_string(files), std::to_string(bytes)}));
    Print(Text(Msg::kLegacyHasNoIntegrity));
    return kExitOk;
}

// Restores the container with its key, as decode does.
int Restore(CommandContext& run, const std::string& key) {
    run.request.options.keep_container = run.options.keep;
    run.request.options.original_case = run.options.original_case;
    run.request.key = key;
    const int status = RunDecoding(run);
    run.request.key.clear();
    return status;
}

}  // namespace

Result<std::string> FindKeyWithoutPassword(CommandContext& run, OpenedContainer& container,
                                           const ContainerHeader& header) {
    Result<std::string> key = RecoverKey(run.tables, container.source(), header);
    if (key)
        Say(Text(Msg::kKeyFoundWithoutPassword, {run.files.paths().DisplayPath(run.request.path)}));
    return key;
}

int EncodeFolder(CommandContext& run) {
    Result<std::string> key = AskKey(run, DialogMode::kEncoding, "");
    if (!key) {
        SayUnlessTold(key.error());
        return kExitWrongPassword;
    }
    EngineRequest request = run.request;
    request.key = key.value();
    return RunEncoding(run, [&](Engine& engine) { return engine.Hacelo(request); });
}

int OpenLegacy(CommandContext& run, OpenedContainer& container, const ContainerHeader& header) {
    if (run.options.command == "recover") {
        Result<std::string> key = FindKeyWithoutPassword(run, container, header);
        if (!key) {
            Say(key.error().message);
            return kExitRefused;
        }
        container.Close();
        return Restore(run, key.value());
    }
    Result<std::string> key = AskKey(run, DialogMode::kDecoding, header.PasswordCheck);
    if (!key) {
        SayUnlessTold(key.error());
        return kExitWrongPassword;
    }
    if (run.options.command == "list")
        return List(container.source(), run.tables, header, key.value(), run.options.json);
    if (run.options.command == "verify")
        return Verify(run, container, header, key.value());
    container.Close();
    return Restore(run, key.value());
}

}  // namespace velmora
