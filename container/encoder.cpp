#include <algorithm>

#include "base/messages.h"
#include "container/dir_walk.h"
#include "container/engine.h"
#include "container/engine_failure.h"
#include "container/legacy/legacy_writer.h"
#include "container/legacy/password_check.h"
#include "container/opened_container.h"
#include "container/pack.h"
#include "container/path_helpers.h"
#include "container/scanned_tree.h"
#include "container/tree_scan.h"
#include "container/wipe.h"

namespace velmora {

Status Engine::CheckEncodingTarget(const std::string& container_path) {
    const std::string& folder = run_.state.FolderPath;
    Result<std::string> target = options_.container_folder.empty()
                                     ? run_.files.CurrentFolder()
                                     : Result<std::string>(options_.container_folder);
    if (!target)
        return target.error();
    // By the real folders, not the texts: a link or a bind mount into the
    // folder must not let the container be written inside it and wiped.
    Result<bool> inside = run_.files.IsSameOrInside(target.value(), folder);
    if (!inside)
        return inside.error();
    if (inside.value())
        return Error{Text(Msg::kContainerInsideFolder, {run_.files.DisplayPath(target.value())})};
    if (run_.files.Inspect(container_path).ok())
        return Error{Text(Msg::kContainerExists, {run_.files.DisplayPath(container_path)})};
    return Status::Ok();
}

RunResult Engine::Hacelo(const std::string& Contrasena) {
    // The caption says what is happening from the start, the scan included.
    run_.host.SetCaption(Text(Msg::kEncodingCaption));
    const std::string& folder = run_.state.FolderPath;
    if (folder.empty() || folder == "\\" || folder.back() == '\\')
        return Refuse(Text(Msg::kNotAFolderToEncode, {run_.files.DisplayPath(folder)}));
    if (Contrasena.size() != kKeyLength || PasswordCheckHasEdgeSpace(run_.tables, Contrasena))
        return Refuse(Text(Msg::kPasswordUnusableByFormat));
    ScannedTree tree(run_.files);
    Result<TreeScan> scan = ScanTree(run_.files, run_.host, folder, tree.folders);
    if (!scan)
        return Refuse(scan.error().message);
    tree.scan = std::move(scan).value();
    if (Status names = CheckStoredNames(tree.scan, folder, run_.tables, Contrasena, run_.files);
        !names)
        return Refuse(names.error().message);
    const std::string container_name = ContainerNameFor(Nombre(folder));
    const std::string container_path = options_.container_folder.empty()
                                           ? container_name
                                           : options_.container_folder + "\\" + container_name;
    if (Status target = CheckEncodingTarget(container_path); !target)
        return Refuse(target.error().message);

    bool left_behind = false;
    try {
        FoundList sFound(tree.scan);
        const WalkResult walk = DirWalk(run_, tree, folder + "\\", sFound);
        run_.state.TotalBytes = 0;
        for (std::size_t i = 0; i < sFound.size(); ++i)
            if (!sFound.IsFolderEntry(i))
                run_.state.TotalBytes += tree.scan.entries[sFound[i]].info.size;

        LegacyWriter writer(run_.tables, Contrasena, run_.host,
                            static_cast<std::size_t>(run_.state.BasePathLength));
        Pack(run_, tree, walk).WriteContainer(container_path, writer, sFound);
        // The container is complete and on disk: from here on "Cancelar"
        // must not delete it.
        run_.host.SetPicture1Tag("");

        if (before_wipe_)
            before_wipe_(sFound);
        if (!options_.keep_originals) {
            ApplyWalkResets(run_, tree, walk);
            Wipe wipe(run_, tree, walk, container_path);
            wipe.BorrarOrig(sFound);
            left_behind = wipe.LeftAnything();
        }
    } catch (const EngineFailure& failure) {
        return Fail(failure.message);
    }
    run_.host.UnloadMainWindow();
    RunResult done{Outcome::kDone, ""};
    done.left_behind = left_behind;
    return done;
}

}  // namespace velmora
