#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "container/engine_state.h"
#include "platform/file_system.h"

namespace velmora {

// What velmora-cli writes, for every command.

// A program text (Windows-1252) on standard error, control bytes escaped.
void Say(const std::string& cp1252_text);
// One line of program text on standard output, whole: control bytes other
// than line breaks are escaped, so that nothing in a name can drive the
// terminal, and a NUL cannot cut the line.
void Print(const std::string& cp1252_text);
// The restored folder exactly as the system names it, for scripts.
void PrintRestoredFolder(FileSystem& files, const std::string& path);
// A printf-style line.
std::string Formatted(const char* format, auto... values) {
    char line[512];
    std::snprintf(line, sizeof line, format, values...);
    return line;
}
// One entry of `list --json` on its own line: {"name", "kind" ("file" or
// "folder"), "size" (bytes; null for a folder), "time" (RFC 3339, UTC; null
// when the kind keeps none), "attributes" (the DOS attributes),
// "permissions" (octal text; null when the kind keeps none)}. The name is
// UTF-8, "/" between its parts.
struct JsonEntry {
    std::string utf8_name;
    bool folder = false;
    std::int64_t size = 0;
    std::string time;  // "" for null
    int attributes = 0;
    int permissions = -1;  // -1 for null
};
void PrintJson(const JsonEntry& entry);
int ExitFor(const RunResult& result);
// Says an error unless it is the empty one of a refusal already told.
void SayUnlessTold(const Error& error);

}  // namespace velmora
