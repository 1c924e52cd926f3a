#pragma once

#include <cstdio>
#include <string>

#include "cli/commands.h"
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
int ExitFor(const RunResult& result);
// Says an error unless it is the empty one of a refusal already told.
void SayUnlessTold(const Error& error);

}  // namespace velmora
