#include "cli/commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "base/messages.h"
#include "base/name_text.h"
#include "cipher/cipher_tables.h"
#include "cli/cli_host.h"
#include "cli/console.h"
#include "cli/password_prompt.h"
#include "cli/register_command.h"
#include "container/engine.h"
#include "container/legacy/record_reader.h"
#include "container/legacy/stored_names.h"
#include "container/opened_container.h"
#include "platform/system_clock.h"

namespace velmora {
namespace {

constexpr int kTries = 3;

void Say(const std::string& cp1252_text) {
    WriteError(EscapeControlBytes(cp1252_text, true) + "\n");
}

// One line of program text on standard output, whole: control bytes other
// than line breaks are escaped, so that nothing in a name can drive the
// terminal, and a NUL cannot cut the line.
void Print(const std::string& cp1252_text) {
    WriteOutput(EscapeControlBytes(cp1252_text, true) + "\n");
}

// The restored folder exactly as the system names it, for scripts.
void PrintRestoredFolder(FileSystem& files, const std::string& path) {
    Result<std::string> native = files.NativeForm(path);
    if (native)
        WriteNativeOutput(native.value() + "\n");
    else
        Print(files.DisplayPath(path));
}

std::string Formatted(const char* format, auto... values) {
    char line[512];
    std::snprintf(line, sizeof line, format, values...);
    return line;
}

int ExitFor(const RunResult& result) {
    switch (result.outcome) {
        case Outcome::kDone:
            return result.left_behind ? kExitLeftBehind : kExitOk;
        case Outcome::kRefused:
            return kExitRefused;
        case Outcome::kFailed:
            return kExitFailed;
    }
    return kExitFailed;
}

// Asks until the dialog's rules accept the password, as the dialog does.
Result<std::string> AskKey(PasswordPrompt& prompt, const CipherTables& tables, DialogMode mode,
                           const std::string& stored_check) {
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
            DecidePassword(tables, mode, first.value(), second.value(), stored_check);
        if (decision.accepted())
            return decision.key;
        Say(decision.message);
    }
    return Error{""};
}

// Checks the whole index first, then prints one line per entry as it is
// read again: a damaged container prints nothing, and a huge index is never
// held in memory.
int List(ByteSource& source, const CipherTables& tables, const ContainerHeader& header,
         const std::string& key) {
    if (Status checked =
            ForEachRecord(source, header, [](const EntryRecord&) { return Status::Ok(); });
        !checked) {
        Say(checked.error().message);
        return kExitRefused;
    }
    Print(Text(Msg::kListSummary,
               {std::to_string(header.EntryCount), std::to_string(RecordSize(header.NameWidthCode)),
                std::to_string(header.FolderAttributes)}));
    Print(Formatted("%5s %5s %12s  %s", Text(Msg::kColumnAttributes).c_str(),
                    Text(Msg::kColumnParentAttributes).c_str(), Text(Msg::kColumnSize).c_str(),
                    Text(Msg::kColumnName).c_str()));
    Status listed = ForEachRecord(source, header, [&](const EntryRecord& record) {
        const std::string name =
            DecodeStoredName(tables, record.EncodedName, key, record.EntrySize == -1);
        const std::string size =
            record.EntrySize == -1 ? Text(Msg::kFolderSize) : std::to_string(record.EntrySize);
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

}  // namespace

int RunCommand(const CliOptions& options, FileSystem& files) {
    if (options.command == "register")
        return Register(files);
    if (options.command == "unregister")
        return Unregister();
    SystemClock clock;
    EngineState state;
    CliHost host(files, state);
    CipherTables tables([](const std::string& text) { Say(text); });
    tables.CrearBuffer();
    PasswordPrompt prompt(options.password_stdin);

    Result<std::string> target = files.FromSystemPath(options.target, FileSystem::Given::kEntry);
    if (!target) {
        Say(target.error().message);
        return kExitRefused;
    }
    state.FolderPath = target.value();
    EngineOptions engine_options;
    engine_options.show_restored_folder = false;
    engine_options.report_leftovers = true;

    if (options.command == "encode") {
        engine_options.keep_originals = options.keep;
        if (!options.container_folder.empty()) {
            Result<std::string> folder =
                files.FromSystemPath(options.container_folder, FileSystem::Given::kOutsideFolder);
            if (!folder) {
                Say(folder.error().message);
                return kExitRefused;
            }
            engine_options.container_folder = folder.value();
        }
        Result<std::string> key = AskKey(prompt, tables, DialogMode::kEncoding, "");
        if (!key) {
            if (!key.error().message.empty())
                Say(key.error().message);
            return kExitWrongPassword;
        }
        state.PasswordKey = key.value();
        state.BasePathLength = static_cast<std::int64_t>(state.FolderPath.size());
        CliHost::CatchInterrupts();
        Engine engine(files, host, tables, clock, state, engine_options);
        const auto start = std::chrono::steady_clock::now();
        auto wipe_start = start;
        engine.SetBeforeWipe(
            [&](const FoundList&) { wipe_start = std::chrono::steady_clock::now(); });
        const RunResult result = engine.Hacelo(state.PasswordKey);
        if (options.timings && result.outcome == Outcome::kDone) {
            const auto end = std::chrono::steady_clock::now();
            using Seconds = std::chrono::duration<double>;
            WriteError(Text(Msg::kTimings, {Formatted("%.3f", Seconds(wipe_start - start).count()),
                                            Formatted("%.3f", Seconds(end - wipe_start).count())}) +
                       "\n");
        }
        state.PasswordKey.clear();
        return ExitFor(result);
    }

    // Only the header before the password: a damaged or hostile index is
    // read after it, by the engine or by list.
    OpenedContainer container(files);
    Result<OpenedHeader> header = container.Open(state.FolderPath);
    if (!header) {
        Say(header.error().message);
        return kExitRefused;
    }
    Result<std::string> key = AskKey(prompt, tables, DialogMode::kDecoding, header->legacy.PasswordCheck);
    if (!key) {
        if (!key.error().message.empty())
            Say(key.error().message);
        return kExitWrongPassword;
    }
    if (options.command == "list")
        return List(container.source(), tables, header->legacy, key.value());
    container.Close();

    engine_options.keep_container = options.keep;
    state.PasswordKey = key.value();
    CliHost::CatchInterrupts();
    Engine engine(files, host, tables, clock, state, engine_options);
    const RunResult result = engine.Des_carpeta();
    if (result.outcome == Outcome::kDone)
        PrintRestoredFolder(files, state.RestoredPath);
    state.PasswordKey.clear();
    return ExitFor(result);
}

}  // namespace velmora
