#pragma once

#include <string>

#include "base/result.h"

namespace velmora {

// The terminal as velmora-cli uses it, one implementation per system. Texts
// are the program's own (Windows-1252); each system shows them its way.
void WriteOutput(const std::string& text);
void WriteError(const std::string& text);
bool ErrorIsTerminal();

// Ctrl-C (and whatever else the system uses to stop a console program)
// from now on only raises the flag Interrupted() reads.
void CatchInterrupts();
bool Interrupted();

inline constexpr const char* kNoPassword =
    "No se ha recibido ninguna contrase\xF1"
    "a.";
inline constexpr const char* kUnusablePassword =
    "La contrase\xF1"
    "a contiene caracteres que no se pueden usar.";

// Shows the prompt on standard error and reads one line without echo when
// standard input is a terminal (as typed otherwise), in Windows-1252.
Result<std::string> ReadHiddenLine(const std::string& prompt);
// One line of standard input, in Windows-1252.
Result<std::string> ReadInputLine();

}  // namespace velmora
