#pragma once

#include <optional>
#include <string>

#include "base/result.h"
#include "container/byte_source.h"
#include "container/legacy/container_format.h"
#include "container/sealed/sealed_header.h"
#include "platform/tree_ops.h"

namespace velmora {

// The ".zol" name rule: a container's name ends in ".zol", in any case,
// after a name a folder can take (not "", "." or "..").
inline constexpr const char* kContainerExtension = ".zol";
bool NamesAContainer(const std::string& path);
// The container a folder is encoded into: the folder's name and ".zol".
std::string ContainerNameFor(const std::string& folder_name);

enum class ContainerKind { kLegacy, kSealed };

// A container's header, of whichever kind its first bytes tell.
struct OpenedHeader {
    ContainerKind kind = ContainerKind::kLegacy;
    ContainerHeader legacy;  // of a legacy container
    SealedHeader sealed;     // of a sealed one
};

// A container opened for reading: only a regular file is opened (a pipe or
// a device is refused at once, without blocking), its header read and
// checked (a sealed container's magic decides its kind; anything else is
// read as the legacy kind, whose header has none), and its bytes reachable
// through source(). Used by start-up, the decoder and velmora-cli alike.
class OpenedContainer {
  public:
    explicit OpenedContainer(TreeOps& files) : files_(files) {}
    ~OpenedContainer() { Close(); }
    OpenedContainer(const OpenedContainer&) = delete;
    OpenedContainer& operator=(const OpenedContainer&) = delete;

    Result<OpenedHeader> Open(const std::string& path);
    ByteSource& source() { return *source_; }
    int file() const { return file_; }
    // The file as it was when opened.
    const EntryInfo& identity() const { return identity_; }
    // Refuses a container another program is still writing: one it holds
    // open for writing (where the system tells), or one whose size or
    // modification time is no longer what it was when opened. Open checks
    // it first; a restore again before its result takes its name and before
    // the container is deleted.
    Status CheckNotBeingWritten();
    void Close();

  private:
    Error StillBeingWritten() const;

    TreeOps& files_;
    std::string path_;
    int file_ = -1;
    EntryInfo identity_;
    std::optional<FileByteSource> source_;
};

}  // namespace velmora
