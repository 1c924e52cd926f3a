#include <algorithm>

#include "container/wipe.h"
#include "container/path_helpers.h"

// What the wipe tells: the files it leaves alone or behind, the summary of
// what is left of the folder, and the end of a wipe cut short by "Cancelar".
namespace velmora {
namespace {

constexpr std::size_t kNamesShown = 10;  // names a summary spells out

std::string Count(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

void Wipe::LeaveAlone(const std::string& path) {
    files_left_.push_back(path);
    run_.host.ShowMessage("\xAB" + run_.files.DisplayPath(path) +
                          "\xBB ha cambiado desde que se ley\xF3 la carpeta; no se ha "
                          "sobrescrito ni borrado.",
                      MessageIcon::kCritical);
}

void Wipe::LeftBehind(const std::string& path, const std::string& why) {
    files_left_.push_back(path);
    if (run_.options.report_leftovers)
        run_.host.ShowMessage("\xAB" + run_.files.DisplayPath(path) + "\xBB queda: " + why,
                          MessageIcon::kCritical);
}

// "Cancelar" during the wipe: the current file was finished and its batch
// flushed and deleted, so every file still in the folder is either one the
// wipe had not reached (as it was) or one it had to leave (reported).
void Wipe::StopWipeOnCancel(const FoundList& Lista, std::size_t next) {
    run_.state.Wiping = false;
    std::size_t untouched = 0;
    for (std::size_t i = next; i < Lista.size(); ++i)
        if (!Lista.IsFolderEntry(i))
            ++untouched;
    // Folders opened for the deletes and still there get their attributes
    // back.
    for (const auto& [folder, former] : opened_folders_)
        if (Result<int> handle = tree_.folders.Get(folder); handle)
            (void)run_.files.SetAttrOpen(handle.value(), former);
    std::string text = "Cancelado. El contenedor \xAB" + run_.files.DisplayPath(container_path_) +
                       "\xBB est\xE1 completo y se conserva. De la carpeta \xAB" +
                       run_.files.DisplayPath(run_.state.FolderPath) + "\xBB quedan " +
                       Count(untouched, "archivo", "archivos") + " sin tocar";
    if (files_left_.empty())
        text += "; ninguno queda a medio sobrescribir.";
    else
        text += ", y " + Count(files_left_.size(), "archivo", "archivos") +
                " que el borrado ha tenido que dejar.";
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
                names += (names.empty() ? "\xAB" : ", \xAB") + run_.files.DisplayPath(path) + "\xBB";
    if (shown > kNamesShown)
        names += "...";
    run_.host.ShowMessage("El contenedor \xAB" + run_.files.DisplayPath(container_path_) +
                          "\xBB est\xE1 completo, pero la carpeta no se ha podido borrar del "
                          "todo: quedan " +
                          Count(files_left_.size(), "archivo", "archivos") + " y " +
                          Count(folders.size(), "carpeta", "carpetas") + ": " + names + ".",
                      MessageIcon::kCritical);
}

}  // namespace velmora
