#pragma once

#include <limits>
#include <string>

#include "platform/path_codec.h"

namespace velmora {

// The program's paths as a POSIX system writes them: UTF-8 and "/" at the
// edge, and the read-only questions about the paths a user gives.
class PosixPathCodec : public virtual PathCodec {
  public:
    Result<std::string> NativeForm(const std::string& path) const override;
    std::string DisplayPath(const std::string& path) const override;
    Result<std::string> FromSystemPath(const std::string& given, Given what) override;
    Result<std::string> CurrentFolder() const override;
    Result<std::string> ProgramFolder() const override;
    std::size_t CharacterCount(const std::string& path) const override;
    std::size_t NativeNameSize(const std::string& name) const override;
    Result<std::size_t> NativePathSize(const std::string& path) const override;
    // Inside a tree every call is relative to a folder's handle: no whole
    // path is ever handed to the system, so none limits a tree.
    std::size_t LongestPath() const override { return std::numeric_limits<std::size_t>::max(); }
    Result<bool> IsSameOrInside(const std::string& path, const std::string& folder) const override;
    Result<std::size_t> LongestName(const std::string& folder) const override;
};

}  // namespace velmora
