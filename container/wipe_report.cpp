#include <algorithm>

#include "base/messages.h"
#include "container/path_helpers.h"
#include "container/wipe.h"

// What the wipe tells: the files it leaves alone or behind, the summary of
// what is left of the folder, and the end of a wipe cut short by "Cancelar".
namespace velmora {
namespace {

constexpr std::size_t kNamesShown = 10;  // names a summary spells out

std::string Count(std::size_t n, Msg one, Msg many) {
    return Text(n == 1 ? one : many, {std::to_string(n)});
}

}  // namespace

void Wipe::LeaveAlone(const std::string& path) {
    files_left_.push_back(path);
    run_.host.ShowMessage(Text(Msg::kChangedSinceRead, {run_.files.paths().DisplayPath(path)}),
                          MessageIcon::kCritical);
}

void Wipe::LeftBehind(const std::string& path, const std::string& why) {
    files_left_.push_back(path);
    if (run_.options.report_leftovers)
        run_.host.ShowMessage(Text(Msg::kLeftBehind, {run_.files.paths().DisplayPath(path), why}),
                              MessageIcon::kCritical);
}

// "Cancelar" during the wipe: the current file was finished and its batch
// flushed and deleted, so every file still in the folder is either one the
// wipe had not reached (as it was) or one it had to leave (reported).
void Wipe::StopWipeOnCancel(const FoundList& Lista, std::size_t next) {
    stops_on_cancel_.reset();
    std::size_t untouched = 0;
    for (std::size_t i = next; i < Lista.size(); ++i)
        if (!Lista.IsFolderEntry(i))
            ++untouched;
    // Folders opened for the deletes and still there get their attributes
    // back.
    for (const auto& [folder, former] : opened_folders_)
        if (Result<int> handle = tree_.folders.Get(folder); handle)
            (void)run_.files.SetAttrOpen(handle.value(), former);
    std::string text =
        Text(Msg::kCancelledDuringWipe, {run_.files.paths().DisplayPath(container_path_),
                                         run_.files.paths().DisplayPath(run_.state.FolderPath),
                                         Count(untouched, Msg::kOneFile, Msg::kManyFiles)});
    if (files_left_.empty())
        text += Text(Msg::kCancelledNoneHalfDone);
    else
        text += Text(Msg::kCancelledSomeLeft,
                     {Count(files_left_.size(), Msg::kOneFile, Msg::kManyFiles)});
    run_.host.ShowMessage(text, MessageIcon::kInformation);
    run_.host.EndProgram();
}

std::vector<std::string> Wipe::FoldersStillThere() {
    std::vector<std::string> folders;
    std::vector<bool> seen(tree_.scan.entries.size(), false);
    for (const std::uint32_t entry : walk_.removal_entries) {
        if (entry == ScannedTree::kNoEntry || !tree_.scan.IsFolder(entry) || seen[entry])
            continue;
        seen[entry] = true;
        if (tree_.StillThere(entry))
            folders.push_back(tree_.scan.FullPath(entry));
    }
    return folders;
}

void Wipe::ReportLeftovers() {
    const std::vector<std::string> folders = FoldersStillThere();
    if (!run_.options.report_leftovers || (files_left_.empty() && folders.empty()))
        return;
    std::string names;
    std::size_t shown = 0;
    const std::vector<std::string>* lists[] = {&files_left_, &folders};
    for (const auto* list : lists)
        for (const std::string& path : *list)
            if (shown++ < kNamesShown)
                names += (names.empty() ? "" : ", ") +
                         Text(Msg::kQuoted, {run_.files.paths().DisplayPath(path)});
    if (shown > kNamesShown)
        names += "...";
    run_.host.ShowMessage(Text(Msg::kWipeLeftSome,
                               {run_.files.paths().DisplayPath(container_path_),
                                Count(files_left_.size(), Msg::kOneFile, Msg::kManyFiles),
                                Count(folders.size(), Msg::kOneFolder, Msg::kManyFolders), names}),
                          MessageIcon::kCritical);
}

}  // namespace velmora
