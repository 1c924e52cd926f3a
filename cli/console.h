#pragma once

#include <iosfwd>
#include <string>

#include "base/result.h"

namespace velmora {

// The terminal as velmora-cli uses it, one implementation per system. Texts
// are the program's own (Windows-1252); each system shows them its way.
void WriteOutput(const std::string& text);
void WriteError(const std::string& text);
// A native path (UTF-8 on both systems) on standard output, as it is.
void WriteNativeOutput(const std::string& native_text);
bool ErrorIsTerminal();
// True once a write to standard output has failed (a closed pipe, a full
// disk): the job's outcome stands, and velmora-cli warns after it.
bool OutputWasLost();

// Ctrl-C (and whatever else the system uses to stop a console program)
// from now on only raises a flag; Interrupted() takes it, telling whether
// an interrupt came since it last looked.
void CatchInterrupts();
bool Interrupted();

// How a line is given back: in Windows-1252 (the legacy kind's passwords),
// or in UTF-8 exactly as typed (the sealed kind's).
enum class LineText { kWindows1252, kUtf8 };

// Shows the prompt on standard error and reads one line without echo when
// standard input is a terminal (as typed otherwise). A line the text cannot
// hold (characters Windows-1252 lacks, malformed UTF-8) fails with the code
// EILSEQ.
Result<std::string> ReadHiddenLine(const std::string& prompt, LineText text);
// One line of standard input.
Result<std::string> ReadInputLine(LineText text);
// One line of a stream, its line end (LF or CR LF) left out; nothing read
// fails with kNoPasswordReceived.
Result<std::string> ReadStreamLine(std::istream& stream, LineText text);
// One line of an open descriptor, read byte by byte so that nothing after
// it is taken from the descriptor.
Result<std::string> ReadDescriptorLine(int descriptor, LineText text);
// A line read from a terminal or a pipe (UTF-8 on both systems) in the text
// asked for.
Result<std::string> LineAs(std::string line, LineText text);

}  // namespace velmora
