#include "cli/commands.h"

#include <memory>
#include <optional>

#include "app/password_decision.h"
#include "base/messages.h"
#include "base/name_text.h"
#include "cli/console.h"
#include "container/sealed/sealed_failure.h"
#include "container/sealed/sealed_index.h"
#include "container/sealed/sealed_keys.h"
#include "container/sealed/sealed_reader.h"
#include "container/sealed/sealed_stream_reader.h"

namespace velmora {
namespace {

constexpr int kTries = 3;

}  // namespace

// A new password, typed twice on a terminal (once on standard input), until
// the sealed kind's rules (the dialog's) take it.
Result<std::string> AskNewPassword(CommandContext& run) {
    PasswordPrompt& prompt = run.prompt;
    for (int attempt = 0; attempt < (prompt.interactive() ? kTries : 1); ++attempt) {
        Result<std::string> first = prompt.AskUtf8(Text(Msg::kTypePasswordToEncode) + " ");
        if (!first)
            return first.error();
        Result<std::string> second = first;
        if (prompt.interactive())
            second = prompt.AskUtf8(Text(Msg::kRepeatPassword) + " ");
        if (!second)
            return second.error();
        const PasswordDecision decision =
            DecidePassword(run.tables, DialogMode::kSealing, first.value(), second.value(), "");
        if (decision.accepted())
            return decision.sealed_password;
        Say(decision.message);
    }
    return Error{""};
}

namespace {

// The container's keys from the typed password, derived while Ctrl-C keeps
// working and checked against its header, as the dialog does; a wrong
// password is told and asked again on a terminal. The password that opened
// it goes to `opened_with`; a derivation that failed for another reason than
// the password (memory) to `failure`.
Result<std::shared_ptr<const SealedKeys>> Unlock(CommandContext& run, const SealedHeader& header,
                                                 std::string& opened_with,
                                                 std::optional<Error>& failure) {
    PasswordPrompt& prompt = run.prompt;
    const SealedUnlock derive = PumpedUnlock(
        header, [&] { run.host.PumpEvents(); },
        [&](const std::string&) { return run.options.allow_costly_key; });
    // A derivation that fails for another reason than the password ends the
    // command with its own exit status; no other try would help.
    const SealedUnlock unlock = [&](const std::string& password) {
        CliHost::CatchInterrupts();  // an interrupt while deriving is "Cancelar"
        Result<std::shared_ptr<const SealedKeys>> keys = derive(password);
        if (keys)
            opened_with = password;
        if (!keys && FaultOf(keys.error()) != SealedFault::kWrongPassword)
            failure = keys.error();
        return keys;
    };
    for (int attempt = 0; attempt < (prompt.interactive() ? kTries : 1); ++attempt) {
        Result<std::string> typed = prompt.AskUtf8(Text(Msg::kTypePasswordToDecode) + " ");
        if (!typed)
            return typed.error();
        const PasswordDecision decision = DecidePassword(run.tables, DialogMode::kOpeningSealed,
                                                         typed.value(), std::nullopt, "", unlock);
        if (decision.accepted())
            return decision.sealed_keys;
        if (failure)
            return *failure;
        Say(decision.message);
    }
    return Error{""};
}

// The exit status of a failed read: damage is refused input.
int Refused(const Error& error) {
    Say(error.message);
    return FaultOf(error) == SealedFault::kDamaged ? kExitRefused : kExitFailed;
}

// A time as year-month-day hours:minutes:seconds, UTC (days from the civil
// calendar, valid far before and after 1970).
std::string UtcTime(std::int64_t seconds) {
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t day_of_era = z - era * 146097;
    const std::int64_t year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const std::int64_t day_of_year =
        day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const std::int64_t month_index = (5 * day_of_year + 2) / 153;
    const std::int64_t day = day_of_year - (153 * month_index + 2) / 5 + 1;
    const std::int64_t month = month_index < 10 ? month_index + 3 : month_index - 9;
    const std::int64_t year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);
    return Formatted("%04lld-%02lld-%02lld %02lld:%02lld:%02lld", static_cast<long long>(year),
                     static_cast<long long>(month), static_cast<long long>(day),
                     static_cast<long long>(rest / 3600), static_cast<long long>(rest / 60 % 60),
                     static_cast<long long>(rest % 60));
}

// The whole index is read and authenticated first, then printed: exact
// names (in the system's own text, control bytes escaped), sizes, times,
// attributes and permissions; or one JSON object per entry.
int List(OpenedContainer& container, const SealedHeader& header, const SealedKeys& keys,
         bool json) {
    Result<SealedStreamReader> stream = SealedStreamReader::Open(container.source(), header, keys);
    if (!stream)
        return Refused(stream.error());
    Result<std::vector<SealedEntry>> index = ReadSealedIndex(stream.value());
    if (!index)
        return Refused(index.error());
    if (json) {
        for (const SealedEntry& entry : index.value()) {
            std::string time = UtcTime(entry.mtime_s) + Formatted(".%09uZ", entry.mtime_ns);
            time[10] = 'T';
            PrintJson({entry.path.empty() ? "." : entry.path, entry.folder,
                       static_cast<std::int64_t>(entry.size), time, entry.attributes, entry.mode});
        }
        return kExitOk;
    }
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    for (const SealedEntry& entry : index.value())
        if (!entry.folder) {
            ++files;
            bytes += entry.size;
        }
    Print(Text(Msg::kSealedListSummary,
               {std::to_string(index->size()), std::to_string(files), std::to_string(bytes)}));
    Print(Formatted("%5s %6s %14s  %-19s  %s", Text(Msg::kColumnAttributes).c_str(),
                    Text(Msg::kColumnPermissions).c_str(), Text(Msg::kColumnSize).c_str(),
                    Text(Msg::kColumnTime).c_str(), Text(Msg::kColumnName).c_str()));
    for (const SealedEntry& entry : index.value()) {
        const std::string size = entry.folder ? Text(Msg::kFolderSize) : std::to_string(entry.size);
        const std::string name = entry.path.empty() ? "." : entry.path;
        WriteNativeOutput(Formatted("%5d %6o %14s  %s  ", entry.attributes, entry.mode,
                                    size.c_str(), UtcTime(entry.mtime_s).c_str()) +
                          EscapeControlBytes(name + (entry.folder ? "/" : "")) + "\n");
    }
    return kExitOk;
}

// From the first byte to the final message, writing nothing.
int Verify(CommandContext& run, OpenedContainer& container, const SealedHeader& header,
           const SealedKeys& keys) {
    SealedReader reader(container.source(), header, keys, run.host);
    Result<RestoreIndex> index = reader.ReadIndex();
    if (!index)
        return Refused(index.error());
    std::int64_t files = 0;
    std::int64_t bytes = 0;
    for (const DecodedEntry& entry : index->entries) {
        if (entry.size < 0)
            continue;
        ++files;
        bytes += entry.size;
        if (Status read = reader.ReadFileData(
                entry, [](const std::uint8_t*, std::size_t) { return Status::Ok(); });
            !read)
            return Refused(read.error());
    }
    if (Status end = reader.ReadEnd(); !end)
        return Refused(end.error());
    Print(Text(Msg::kSealedSound, {std::to_string(index->entries.size() + 1), std::to_string(files),
                                   std::to_string(bytes)}));
    return kExitOk;
}

}  // namespace

int SealFolder(CommandContext& run) {
    Result<std::string> password = AskNewPassword(run);
    if (!password) {
        SayUnlessTold(password.error());
        return kExitWrongPassword;
    }
    EngineRequest request = run.request;
    request.password = password.value();
    return RunEncoding(run, [&](Engine& engine) { return engine.Seal(request); });
}

int OpenSealed(CommandContext& run, OpenedContainer& container, const SealedHeader& header) {
    // Refused before the password is asked: no try could go on.
    if (SealedKeyDerivationCostly(header.parameters) && !run.options.allow_costly_key) {
        Say(Text(Msg::kCostlyKeyRefused, {CostlyKeyText(header.parameters)}));
        return kExitRefused;
    }
    std::string password;
    std::optional<Error> failure;
    Result<std::shared_ptr<const SealedKeys>> keys = Unlock(run, header, password, failure);
    if (!keys) {
        // A wrong password, or none given, as for every other command.
        SayUnlessTold(keys.error());
        return failure ? kExitFailed : kExitWrongPassword;
    }
    if (run.options.command == "list")
        return List(container, header, *keys.value(), run.options.json);
    if (run.options.command == "verify" && header.version == kSealedVersion2)
        return VerifyChunks(run, container, header, *keys.value());
    if (run.options.command == "verify")
        return Verify(run, container, header, *keys.value());
    if (run.options.command == "repair")
        return RepairSealed(run, container, header, *keys.value(), password);
    container.Close();
    if (run.options.salvage)
        return SalvageChunks(run, *keys.value());
    if (run.options.command == "extract")
        return ExtractChunks(run, *keys.value());
    run.request.options.keep_container = run.options.keep;
    run.request.sealed_keys = keys.value();
    return RunDecoding(run);
}

}  // namespace velmora
