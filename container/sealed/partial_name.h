#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace velmora {

// The path a file restored with holes takes, so that nobody mistakes it for
// the original: `mark` before the extension of its last name ("a/b.txt"
// gives "a/b (incompleto).txt"; a name whose only "." is its first, or
// that has none, takes it at its end), then "(2)", "(3)" ... after the mark
// while `taken` says the path is taken.
std::string PartialName(const std::string& path, std::string_view mark,
                        const std::function<bool(const std::string&)>& taken);

}  // namespace velmora
