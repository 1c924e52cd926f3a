#include "cli/commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "cipher/cipher_tables.h"
#include "cli/cli_host.h"
#include "cli/console.h"
#include "cli/password_prompt.h"
#include "cli/register_command.h"
#include "container/container_reader.h"
#include "container/engine.h"
#include "container/file_byte_source.h"
#include "container/stored_names.h"
#include "platform/names.h"
#include "platform/system_clock.h"

namespace velmora {
namespace {

constexpr int kTries = 3;

void Say(const std::string& cp1252_text) {
    WriteError(cp1252_text + "\n");
}

// The argument (UTF-8) as an absolute program path without a trailing
// separator; a drive's root keeps its own.
Result<std::string> AbsoluteProgramPath(const std::string& argument) {
    const std::u8string utf8(argument.begin(), argument.end());
    const std::filesystem::path path =
        std::filesystem::absolute(std::filesystem::path(utf8)).lexically_normal();
    const std::u8string absolute = path.u8string();
    std::string native(absolute.begin(), absolute.end());
    const std::size_t root = path.root_path().u8string().size();
    while (native.size() > std::max<std::size_t>(root, 1) &&
           (native.back() == '/' || native.back() == '\\'))
        native.pop_back();
    return ProgramPath(native);
}

std::string Formatted(const char* format, auto... values) {
    char line[512];
    std::snprintf(line, sizeof line, format, values...);
    return line;
}

int ExitFor(const RunResult& result) {
    switch (result.outcome) {
        case Outcome::kDone:
            return kExitOk;
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
        Result<TypedPassword> first = prompt.Ask(encoding ? "Escriba la contrase\xF1"
                                                            "a: "
                                                          : "Escribe la contrase\xF1"
                                                            "a: ");
        if (!first)
            return first.error();
        Result<TypedPassword> second = first;
        if (encoding && prompt.interactive())
            second = prompt.Ask(
                "Repita la contrase\xF1"
                "a: ");
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

Result<ContainerIndex> ReadIndex(FileSystem& files, const std::string& container) {
    Result<int> file = files.Open(container, OpenMode::kRead);
    if (!file)
        return file.error();
    Result<EntryInfo> info = files.InspectOpen(file.value());
    if (!info)
        return info.error();
    FileByteSource source(files, file.value(), info->size);
    Result<ContainerIndex> index = ReadContainerIndex(source);
    files.CloseAll();
    return index;
}

int List(const ContainerIndex& index, const std::string& key) {
    WriteOutput(Formatted("%d entradas, registros de %zu bytes, atributos de la carpeta %d\n",
                          index.header.EntryCount, RecordSize(index.header.NameWidthCode),
                          index.header.FolderAttributes));
    WriteOutput(Formatted("%5s %5s %12s  ", "atrib", "padre", "bytes") + "nombre\n");
    for (const EntryRecord& record : index.records) {
        const std::string name = DecodeStoredName(record.EncodedName, key, record.EntrySize == -1);
        const std::string size =
            record.EntrySize == -1 ? "<carpeta>" : std::to_string(record.EntrySize);
        WriteOutput(Formatted("%5d %5d %12s  ", record.EntryAttributes, record.ParentAttributes,
                              size.c_str()) +
                    name + "\n");
    }
    return kExitOk;
}

}  // namespace

int RunCommand(const CliOptions& options, FileSystem& files) {
    if (options.command == "register")
        return Register(files);
    SystemClock clock;
    CliHost host(files);
    CipherTables tables([](const std::string& text) { Say(text); });
    tables.CrearBuffer();
    PasswordPrompt prompt(options.password_stdin);

    Result<std::string> target = AbsoluteProgramPath(options.target);
    if (!target) {
        Say(target.error().message);
        return kExitRefused;
    }
    EngineState state;
    state.FolderPath = target.value();
    EngineOptions engine_options;
    engine_options.show_restored_folder = false;

    if (options.command == "encode") {
        engine_options.keep_originals = options.keep;
        if (!options.container_folder.empty()) {
            Result<std::string> folder = AbsoluteProgramPath(options.container_folder);
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
        engine.SetBeforeWipe([&](const std::vector<std::string>&) {
            wipe_start = std::chrono::steady_clock::now();
        });
        const RunResult result = engine.Hacelo(state.PasswordKey);
        if (options.timings && result.outcome == Outcome::kDone) {
            const auto end = std::chrono::steady_clock::now();
            using Seconds = std::chrono::duration<double>;
            std::fprintf(stderr, "timings: pack %.3f s, wipe %.3f s\n",
                         Seconds(wipe_start - start).count(), Seconds(end - wipe_start).count());
        }
        state.PasswordKey.clear();
        return ExitFor(result);
    }

    Result<ContainerIndex> index = ReadIndex(files, state.FolderPath);
    if (!index) {
        Say(index.error().message);
        return kExitRefused;
    }
    Result<std::string> key =
        AskKey(prompt, tables, DialogMode::kDecoding, index->header.PasswordCheck);
    if (!key) {
        if (!key.error().message.empty())
            Say(key.error().message);
        return kExitWrongPassword;
    }
    if (options.command == "list")
        return List(index.value(), key.value());

    engine_options.keep_container = options.keep;
    state.PasswordKey = key.value();
    CliHost::CatchInterrupts();
    Engine engine(files, host, tables, clock, state, engine_options);
    const RunResult result = engine.Des_carpeta();
    if (result.outcome == Outcome::kDone)
        WriteOutput(files.DisplayPath(state.RestoredPath) + "\n");
    state.PasswordKey.clear();
    return ExitFor(result);
}

}  // namespace velmora
