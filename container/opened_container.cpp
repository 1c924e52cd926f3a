#include "container/opened_container.h"

#include <cerrno>

#include "base/messages.h"

#include "base/cp1252.h"
#include "container/legacy/legacy_reader.h"
#include "container/path_helpers.h"
#include "container/sealed/sealed_failure.h"

namespace velmora {

bool NamesAContainer(const std::string& path) {
    const std::string extension = kContainerExtension;
    const std::string name = Nombre(path);
    if (name.size() < extension.size() ||
        ToUpperCp1252(name.substr(name.size() - extension.size())) != ToUpperCp1252(extension))
        return false;
    // The restored folder takes the rest of the name: it must be one.
    const std::string folder = name.substr(0, name.size() - extension.size());
    return !folder.empty() && folder != "." && folder != "..";
}

std::string ContainerNameFor(const std::string& folder_name) {
    return folder_name + kContainerExtension;
}

Result<OpenedHeader> OpenedContainer::Open(const std::string& path) {
    Close();
    path_ = path;
    Result<int> file = files_.OpenStartingFile(path);
    if (!file)  // Windows: a writer's handle makes the open a sharing violation
        return file.error().code == EBUSY ? StillBeingWritten() : file.error();
    file_ = file.value();
    Result<EntryInfo> info = files_.InspectOpen(file_);
    if (!info)
        return info.error();
    identity_ = info.value();
    if (Status written = CheckNotBeingWritten(); !written)
        return written.error();
    source_.emplace(files_, file_, identity_.size);
    OpenedHeader header;
    Result<SealedHeader> sealed = ReadSealedHeader(*source_);
    if (sealed) {
        header.kind = ContainerKind::kSealed;
        header.sealed = sealed.value();
        return header;
    }
    if (FaultOf(sealed.error()) != SealedFault::kNotSealed)
        return sealed.error();
    Result<ContainerHeader> legacy = ReadContainerHeader(*source_);
    if (!legacy)
        return legacy.error();
    header.legacy = legacy.value();
    return header;
}

Error OpenedContainer::StillBeingWritten() const {
    return Error{Text(Msg::kStillBeingWritten, {files_.paths().DisplayPath(path_)}), EBUSY};
}

Status OpenedContainer::CheckNotBeingWritten() {
    const Result<bool> held = files_.HeldForWriting(file_);
    if (!held)
        return held.error();
    const Result<EntryInfo> now = files_.InspectOpen(file_);
    if (!now)
        return now.error();
    if (held.value() || now->size != identity_.size || now->modified_ns != identity_.modified_ns)
        return StillBeingWritten();
    return Status::Ok();
}

void OpenedContainer::Close() {
    source_.reset();
    if (file_ >= 0)
        (void)files_.Close(file_);
    file_ = -1;
}

}  // namespace velmora
