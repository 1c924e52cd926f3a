#include "container/restore_source.h"

#include "base/messages.h"
#include "base/name_text.h"
#include "container/engine_failure.h"
#include "container/path_helpers.h"
#include "container/relative_path.h"
#include "container/staging_folder.h"

namespace velmora {
namespace {

constexpr int kLargestCopyNumber = 32767;

}  // namespace

Status CheckRestorable(TreeOps& files, const std::string& container_path,
                       const std::vector<DecodedEntry>& entries) {
    const std::string root = container_path.substr(0, container_path.size() - 4);
    const std::string parent = ParentOf(container_path);
    Result<std::string> folder =
        parent.empty() ? files.paths().CurrentFolder() : Result<std::string>(parent);
    if (!folder)
        return folder.error();
    const Result<std::size_t> longest = files.paths().LongestName(folder.value());
    if (!longest)
        return longest.error();
    const std::string staging = WidestStagingName(Nombre(container_path));
    if (files.paths().NativeNameSize(staging) > longest.value())
        return Error{Text(Msg::kNotRestorableHere,
                          {ShownName("\\" + Nombre(root)), Text(Msg::kNamePartTooLong)}),
                     kNotRestorableCode};
    // The widest root the restore may take: a numbered copy, or the staging
    // folder it is made in.
    const std::string numbered = root + " (" + std::to_string(kLargestCopyNumber) + ")";
    const std::string staged = (parent.empty() ? "" : parent + "\\") + staging;
    const Result<std::size_t> root_size =
        files.paths().NativePathSize(staged.size() > numbered.size() ? staged : numbered);
    if (!root_size)
        return root_size.error();
    auto refuse = [&](const DecodedEntry& entry, const std::string& why) -> Status {
        return Error{Text(Msg::kNotRestorableHere, {ShownName(entry.name), why}),
                     kNotRestorableCode};
    };
    for (const DecodedEntry& entry : entries) {
        if (entry.name.size() > 1) {
            const auto parsed = RelativePath::Parse(std::string_view(entry.name).substr(1),
                                                    kProgramPath, entry.size == -1);
            if (parsed.fault)
                return refuse(entry, Text(*parsed.fault));
            if (const std::string why = parsed.path.Uncreatable(files.paths(), longest.value());
                !why.empty())
                return refuse(entry, why);
        }
        if (root_size.value() + entry.name.size() * 3 > files.paths().LongestPath()) {
            const Result<std::size_t> size = files.paths().NativePathSize(entry.name);
            if (!size)
                return size.error();
            if (root_size.value() + size.value() > files.paths().LongestPath())
                return refuse(entry, Text(Msg::kPathTooLongForSystem));
        }
    }
    return Status::Ok();
}

OpenedHeader RestoreSource::Open() {
    // What is restored and what is deleted are the container that was read,
    // whatever its name comes to hold meanwhile. Its lock keeps a second run
    // off it.
    TreeOps& files = run_.files;
    const OpenedHeader header = OrFail(container_.Open(run_.state.FolderPath));
    identity_ = container_.identity();
    if (!OrFail(files.TryLock(container_.file())))
        ThrowFailure(Error{
            Text(Msg::kAlreadyWorkingOn, {files.paths().DisplayPath(run_.state.FolderPath)})});
    return header;
}

void RestoreSource::OpenFolder() {
    const std::string parent = ParentOf(run_.state.FolderPath);
    std::string folder = parent.empty() ? "." : parent;
    if (folder.back() == ':')
        folder += '\\';  // a drive's root folder, not its current folder
    folder_ = OrFail(run_.files.OpenStartingFolder(folder));
    const Result<EntryInfo> named = run_.files.InspectAt(folder_, Nombre(run_.state.FolderPath));
    if (!named || named->device != identity_.device || named->inode != identity_.inode)
        ThrowFailure(Error{Text(Msg::kChangedWhileReading,
                                {run_.files.paths().DisplayPath(run_.state.FolderPath)})});
}

bool RestoreSource::Holds(const std::string& name) {
    return run_.files.InspectAt(folder_, name).ok();
}

void RestoreSource::CheckNames(const std::vector<DecodedEntry>& entries) {
    OrFail(CheckRestorable(run_.files, run_.state.FolderPath, entries));
}

void RestoreSource::Finish(bool details_skipped) {
    TreeOps& files = run_.files;
    if (details_skipped)
        run_.host.ShowMessage(Text(Msg::kRestoredWithoutDetails,
                                   {files.paths().DisplayPath(run_.state.RestoredPath)}),
                              MessageIcon::kInformation);
    if (!run_.options.keep_container)
        DeleteContainer();
    files.CloseAll();
}

void RestoreSource::DeleteContainer() {
    TreeOps& files = run_.files;
    const int file = container_.file();
    OrFail(container_.CheckNotBeingWritten());
    OrFail(files.SetAttrOpen(file, 0));
    EntryInfo expected = OrFail(files.InspectOpen(file));
    const bool unchanged = SameEntryAndContent(expected, identity_);
    container_.Close();
    const Result<bool> deleted =
        unchanged ? files.DeleteFileAt(folder_, Nombre(run_.state.FolderPath), expected)
                  : Result<bool>(false);
    if (deleted && deleted.value()) {
        (void)files.SyncFolderOpen(folder_);
        return;
    }
    ThrowFailure(Error{deleted ? Text(Msg::kRestoredButContainerChanged,
                                      {files.paths().DisplayPath(run_.state.FolderPath)})
                               : deleted.error().message});
}

}  // namespace velmora
