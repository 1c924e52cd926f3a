#pragma once

namespace velmora {

// How the program's paths write names. Windows-1252 is the program's own
// text, the legacy kind's names and what the windows show; UTF-8 carries
// every name exactly as the system gives it, whatever its language, as the
// sealed kind keeps them.
enum class NameCoding { kWindows1252, kUtf8 };

}  // namespace velmora
