#include "cli/commands.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "cipher/cipher_tables.h"
#include "cipher/key_derivation.h"
#include "cli/cli_host.h"
#include "cli/password_prompt.h"
#include "container/container_reader.h"
#include "container/engine.h"
#include "container/file_byte_source.h"
#include "container/password_check.h"
#include "container/stored_names.h"
#include "platform/names.h"
#include "platform/posix/posix_file_system.h"
#include "shell/posix/shell_integration.h"

namespace velmora {
namespace {

constexpr int kTries = 3;

void Say(const std::string& cp1252_text) {
    std::fprintf(stderr, "%s\n", DisplayUtf8(cp1252_text).c_str());
}

// The argument as an absolute program path without a trailing separator.
Result<std::string> AbsoluteProgramPath(const std::string& argument) {
    std::filesystem::path path = std::filesystem::absolute(argument).lexically_normal();
    std::string native = path.string();
    while (native.size() > 1 && native.back() == '/')
        native.pop_back();
    return ProgramPath(native);
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

// Asks until the password follows the dialog's rules, as the dialog does.
Result<std::string> AskKeyForEncoding(PasswordPrompt& prompt, const CipherTables& tables) {
    for (int attempt = 0; attempt < (prompt.interactive() ? kTries : 1); ++attempt) {
        Result<std::string> first = prompt.Ask(
            "Escriba la contrase\xF1"
            "a: ");
        if (!first)
            return first.error();
        Result<std::string> second = prompt.interactive() ? prompt.Ask(
                                                                "Repita la contrase\xF1"
                                                                "a: ")
                                                          : first;
        if (!second)
            return second.error();
        Result<std::string> key = KeyForEncoding(first.value(), second.value());
        if (key && PasswordCheckHasEdgeSpace(tables, key.value()))
            key = Error{
                "Esta contrase\xF1"
                "a no se puede usar con este formato. Elija otra "
                "contrase\xF1"
                "a."};
        if (key)
            return key;
        Say(key.error().message);
    }
    return Error{""};
}

// Opens a container's header and asks until the password opens it.
Result<std::string> AskKeyForContainer(PasswordPrompt& prompt, const CipherTables& tables,
                                       const std::string& stored_check) {
    for (int attempt = 0; attempt < (prompt.interactive() ? kTries : 1); ++attempt) {
        Result<std::string> typed = prompt.Ask(
            "Escribe la contrase\xF1"
            "a: ");
        if (!typed)
            return typed.error();
        Result<std::string> key = typed->empty() ? Result<std::string>(Error{"Contrase\xF1"
                                                                             "a incorrecta."})
                                                 : DeriveKey(typed.value());
        if (key && PasswordMatches(tables, stored_check, key.value()))
            return key;
        Say(key ? "Contrase\xF1"
                  "a incorrecta."
                : key.error().message);
    }
    return Error{""};
}

// Reads and checks the whole index; its records are kept only for a listing.
Result<ContainerIndex> ReadIndex(FileSystem& files, const std::string& container,
                                 bool keep_records) {
    Result<int> file = files.Open(container, OpenMode::kRead);
    if (!file)
        return file.error();
    Result<EntryInfo> info = files.InspectOpen(file.value());
    if (!info)
        return info.error();
    FileByteSource source(files, file.value(), info->size);
    Result<ContainerIndex> index = keep_records ? ReadContainerIndex(source)
                                                : ReadContainerIndex(source, [](EntryRecord&&) {});
    files.CloseAll();
    return index;
}

int List(const ContainerIndex& index, const std::string& key) {
    std::printf("%d entradas, registros de %zu bytes, atributos de la carpeta %d\n",
                index.header.EntryCount, RecordSize(index.header.NameWidthCode),
                index.header.FolderAttributes);
    std::printf("%5s %5s %12s  %s\n", "atrib", "padre", "bytes", "nombre");
    for (const EntryRecord& record : index.records) {
        const std::string name = DecodeStoredName(record.EncodedName, key, record.EntrySize == -1);
        const std::string size =
            record.EntrySize == -1 ? "<carpeta>" : std::to_string(record.EntrySize);
        std::printf("%5d %5d %12s  %s\n", record.EntryAttributes, record.ParentAttributes,
                    size.c_str(), DisplayUtf8(name).c_str());
    }
    return kExitOk;
}

int Register(FileSystem& files) {
    RegistryStore store(RegistryStore::DefaultFile());
    RegisterShellIntegration(
        store,
        [&files] {
            Result<std::string> folder = files.ProgramFolder();
            return folder ? files.DisplayPath(folder.value()) : std::string();
        },
        [] {}, DesktopFolders::FromEnvironment());
    std::printf("%s\n", store.file().c_str());
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
        Result<std::string> key = AskKeyForEncoding(prompt, tables);
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
            std::fprintf(stderr, "timings: pack %.3f s, wipe %.3f s\n",
                         Seconds(wipe_start - start).count(), Seconds(end - wipe_start).count());
        }
        state.PasswordKey.clear();
        return ExitFor(result);
    }

    Result<ContainerIndex> index = ReadIndex(files, state.FolderPath, options.command == "list");
    if (!index) {
        Say(index.error().message);
        return kExitRefused;
    }
    Result<std::string> key = AskKeyForContainer(prompt, tables, index->header.PasswordCheck);
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
        std::printf("%s\n", DisplayUtf8(files.DisplayPath(state.RestoredPath)).c_str());
    state.PasswordKey.clear();
    return ExitFor(result);
}

}  // namespace velmora
