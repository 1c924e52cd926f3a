#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cipher/cipher_tables.h"
#include "container/buffered_io.h"
#include "container/legacy/data_coding.h"
#include "container/engine_state.h"
#include "container/folder_handles.h"
#include "container/found_list.h"
#include "container/host.h"
#include "container/opened_container.h"
#include "container/legacy/stored_names.h"
#include "container/tree_scan.h"
#include "platform/file_system.h"

namespace velmora {

// The long operations of one run: walking, encoding and wiping a folder;
// decoding a container and re-creating its tree. They reach the windows only
// through the Host and the disk only through the FileSystem.
class Engine {
  public:
    Engine(FileSystem& files, Host& host, const CipherTables& tables, Clock& clock,
           EngineState& state, EngineOptions options = {});

    // Encodes FolderPath into Nombre(FolderPath) & ".zol" with the key, wipes
    // the folder, and unloads the main window.
    RunResult Hacelo(const std::string& Contrasena);

    // Restores the container FolderPath next to it with PasswordKey, deletes
    // the container and shows the restored folder.
    RunResult Des_carpeta();

    // Lists the tree depth first into sFound (every file, and a "\"-ended
    // entry for every folder without files) and fills RemovalList. Needs the
    // tree scanned first (it stands in for the folder and file lists). The
    // top-level entries it resets to normal are only noted: the records show
    // the reset values, and the disk changes once the container is complete
    // and the folder is about to be wiped. Every file is listed: the walk's
    // file pattern is always "*.*".
    void DirWalk(const std::string& CurrDir, FoundList& sFound);

    // Overwrites every listed file with bytes of 255 and deletes it, then
    // removes the walked folders, deepest first. Failures are skipped. Files
    // are overwritten in batches, each flushed once before its files are
    // deleted; a file is touched only while it is still the one the scan saw.
    void BorrarOrig(const FoundList& Lista);

    // Returns after about Segundos seconds, pumping events meanwhile.
    void Espera(float Segundos);

    // Runs once the container is complete, right before the wipe, with the
    // found list: the tests' seam, and how velmora-cli times the wipe.
    using BeforeWipe = std::function<void(const FoundList&)>;
    void SetBeforeWipe(BeforeWipe hook) { before_wipe_ = std::move(hook); }

  private:
    static constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;

    RunResult Refuse(const std::string& message);
    RunResult Fail(const std::string& message);
    Status CheckEncodingTarget(const std::string& container_path);

    void WalkFolder(std::uint32_t folder, std::string& path, FoundList& sFound);
    void WriteContainer(const std::string& container_path, const std::string& Contrasena,
                        const FoundList& sFound, std::uint8_t width_code);
    void EncodeFileInto(BufferedWriter& out, std::uint32_t entry, const std::string& path,
                        const KeyStream& stream);
    std::uint8_t AttributesOf(std::uint32_t entry);
    // The handle of the folder that holds a scanned entry, and the entry's
    // name in it: the root's is its parent.
    int FolderOf(std::uint32_t entry);
    std::string NameOf(std::uint32_t entry) const;
    bool IsTopLevelFolder(std::uint32_t entry) const;
    void ApplyWalkResets();

    // What the overwrite of one file came to.
    enum class Overwrite { kDone, kLeftAlone, kNotOverwritten, kGone };
    struct Overwritten {
        std::uint32_t entry;
        EntryInfo identity;  // of the file right after it was overwritten
    };
    Overwrite Sobrescribir(std::uint32_t entry, EntryInfo& overwritten);
    void DeleteBatch(std::vector<Overwritten>& batch);
    void DeleteUnwritten(std::uint32_t entry);
    void AllowDeletingIn(std::uint32_t folder);
    void RemoveFolders();
    bool StillThere(std::uint32_t folder);
    void LeaveAlone(const std::string& path);
    void LeftBehind(const std::string& path, const std::string& why);
    void StopWipeOnCancel(const FoundList& Lista, std::size_t next);
    std::vector<std::string> FoldersStillThere();
    void ReportLeftovers();

    std::vector<DecodedEntry> ReadEntries(std::uint8_t& folder_attributes,
                                          std::uint8_t& width_code);
    void CheckNameSizes(const std::vector<DecodedEntry>& entries);
    void OpenContainerFolder();
    void Crear_carpetas(const std::vector<DecodedEntry>& Nuevo, std::uint8_t folder_attributes);
    void SetFolderAttributes(std::uint32_t folder, std::uint8_t stored);
    void Extraer(const std::vector<DecodedEntry>& Nombres, std::uint8_t T);
    bool RestoredTreeInPlace();
    void DeleteContainer();

    FileSystem& files_;
    Host& host_;
    const CipherTables& tables_;
    Clock& clock_;
    EngineState& state_;
    EngineOptions options_;

    TreeScan scan_;                          // the tree as read before encoding
    FolderHandles folders_{files_};          // its folders, or the restored ones
    std::vector<int> top_level_attributes_;  // read again after the walk; -1: not yet
    BeforeWipe before_wipe_;

    std::string container_path_;  // the finished container's name
    int container_folder_ = -1;   // the handle of the folder that holds it
    // The walk's texts of RemovalList, as scanned entries (kNoEntry for the
    // root's parent), and the top-level entries it resets.
    std::vector<std::uint32_t> removal_entries_;
    std::vector<std::uint32_t> walk_resets_;
    // The wipe's account: files that stay, and the folders given owner write
    // permission so that their entries could be deleted, with their former
    // attributes.
    std::vector<std::string> files_left_;
    std::string overwrite_error_;  // why the last file could not be opened
    std::vector<std::pair<std::uint32_t, int>> opened_folders_;

    // Decoding: the container, open from the first read to its delete, as
    // it was read; and the restored folders, by the order they were made in.
    OpenedContainer opened_container_{files_};
    int container_file_ = -1;
    EntryInfo container_identity_;
    std::vector<std::uint32_t> read_only_folders_;
    std::map<std::string_view, std::uint32_t> restored_folders_;  // by folder part
};

}  // namespace velmora
