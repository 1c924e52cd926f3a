#include "cli/cli_output.h"

#include "base/name_text.h"
#include "base/utf8.h"
#include "cli/commands.h"
#include "cli/console.h"

namespace velmora {

void Say(const std::string& cp1252_text) {
    WriteError(EscapeControlBytes(cp1252_text, true) + "\n");
}

void Print(const std::string& cp1252_text) {
    WriteOutput(EscapeControlBytes(cp1252_text, true) + "\n");
}

void PrintRestoredFolder(FileSystem& files, const std::string& path) {
    Result<std::string> native = files.NativeForm(path);
    if (native)
        WriteNativeOutput(native.value() + "\n");
    else
        Print(files.DisplayPath(path));
}

void PrintJson(const JsonEntry& entry) {
    const std::string null = "null";
    WriteNativeOutput(
        "{\"name\": " + JsonString(entry.utf8_name) + ", \"kind\": \"" +
        (entry.folder ? "folder" : "file") +
        "\", \"size\": " + (entry.folder ? null : std::to_string(entry.size)) +
        ", \"time\": " + (entry.time.empty() ? null : JsonString(entry.time)) +
        ", \"attributes\": " + std::to_string(entry.attributes) + ", \"permissions\": " +
        (entry.permissions < 0 ? null : JsonString(Formatted("%04o", entry.permissions))) + "}\n");
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

void SayUnlessTold(const Error& error) {
    if (!error.message.empty())
        Say(error.message);
}

}  // namespace velmora
