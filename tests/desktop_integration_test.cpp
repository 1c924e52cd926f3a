#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "shell/posix/desktop_integration.h"
#include "tests/temp_folder.h"
#include "tests/tree_snapshot.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// A desktop file's values by group and key, unescaped as GLib reads them.
class KeyFile {
  public:
    explicit KeyFile(const std::string& path) {
        std::ifstream in(path);
        std::string group;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.front() == '[')
                group = line.substr(1, line.size() - 2);
            else if (const std::size_t equals = line.find('='); equals != std::string::npos)
                values_[group + "/" + line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    std::string Get(const std::string& group, const std::string& key) const {
        const auto found = values_.find(group + "/" + key);
        if (found == values_.end())
            return "<missing>";
        std::string value;
        const std::string& raw = found->second;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != '\\' || i + 1 == raw.size() || raw[i + 1] == ';') {
                value += raw[i];
                continue;
            }
            const char escaped = raw[++i];
            value += escaped == 's' ? ' ' : escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
        }
        return value;
    }

  private:
    std::map<std::string, std::string> values_;
};

// A user's desktop in a temporary HOME, and a stand-in "velmora" that writes
// its working folder and its arguments, one per line, to a record file.
class DesktopIntegrationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* folder : {"home", "data", "config", "bin", "files"})
            temp.MakeFolder(folder);
        setenv("HOME", (temp.native + "/home").c_str(), 1);
        setenv("XDG_DATA_HOME", Data().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (temp.native + "/config").c_str(), 1);
        // Desktop sessions answer xdg-mime through GIO; without one it
        // falls back to `file`, which knows no extensions.
        setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
        temp.Write("bin/velmora",
                   "#!/bin/sh\n{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" +
                       Record() + ".tmp' && mv '" + Record() + ".tmp' '" + Record() + "'\n");
        chmod((temp.native + "/bin/velmora").c_str(), 0755);
        fs::copy_file(VELMORA_ICON, temp.native + "/bin/secreto.ico");
        fs::copy_file(fs::path(VELMORA_ICON).replace_filename("velmora-legacy.ico"),
                      temp.native + "/bin/velmora-legacy.ico");
    }

    std::string Data() const { return temp.native + "/data"; }
    std::string Bin() const { return temp.native + "/bin"; }
    std::string Record() const { return temp.native + "/record"; }

    void RegisterNow() { RegisterFrom(Bin()); }
    void RegisterFrom(const std::string& program_folder) {
        RegistryStore store(RegistryStore::DefaultFile());
        RegisterShellIntegration(
            store, [program_folder] { return program_folder; }, [] {},
            DesktopFolders::FromEnvironment());
    }

    static std::pair<int, std::string> Run(const std::string& command) {
        std::string output;
        FILE* pipe = popen((command + " 2>&1").c_str(), "r");
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        const int status = pclose(pipe);
        while (!output.empty() && output.back() == '\n')
            output.pop_back();
        return {WEXITSTATUS(status), output};
    }

    static std::string FileType(const std::string& path) {
        return Run("xdg-mime query filetype " + Quoted(path)).second;
    }

    static std::string Quoted(const std::string& text) {
        std::string quoted = "'";
        for (char c : text)
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return quoted + "'";
    }

    // The stand-in's record, waited for (launchers return before it runs).
    std::vector<std::string> WaitForRecord() {
        for (int i = 0; i < 100 && !fs::exists(Record()); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::ifstream in(Record());
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        fs::remove(Record());
        return lines;
    }

    TempFolder temp;
};

TEST_F(DesktopIntegrationTest, TheFileTypeOpensWithOurEntry) {
    RegisterNow();
    temp.Write("files/Mis fotos.ZOL", "not empty, or GIO sniffs it as text");
    EXPECT_EQ(FileType(temp.native + "/files/Mis fotos.ZOL"), "application/x-velmora-zol");
    EXPECT_EQ(Run("xdg-mime query default application/x-velmora-zol").second,
              "velmora-zol.desktop");
    const auto validated =
        Run("desktop-file-validate " + Quoted(Data() + "/applications/velmora-zol.desktop"));
    EXPECT_EQ(validated.first, 0) << validated.second;
    EXPECT_TRUE(
        fs::exists(Data() + "/icons/hicolor/48x48/mimetypes/application-x-velmora-zol.png"));
    // GTK looks a type's icon names up theme by theme: each name must be the
    // padlock's, or a theme's generic icon would hide it.
    const std::string icons =
        Run("gio info -a standard::icon " + Quoted(temp.native + "/files/Mis fotos.ZOL")).second;
    EXPECT_TRUE(icons.ends_with(
        "standard::icon: application-x-velmora-zol, application-x-velmora-zol-symbolic"))
        << icons;
    // The help picture hands the desktop's opener the program's velmora.hlp:
    // it must be a type a text viewer opens, while other .hlp files keep
    // theirs.
    temp.Write("bin/velmora.hlp", "AYUDA\n");
    temp.Write("files/otro.hlp", "?_\x03\x00");
    EXPECT_EQ(FileType(temp.native + "/bin/velmora.hlp"), "text/plain");
    EXPECT_NE(FileType(temp.native + "/files/otro.hlp"), "text/plain");
}

TEST_F(DesktopIntegrationTest, OpeningAContainerDeliversItsExactPathFollowedBySlashC) {
    RegisterNow();
    for (const std::string name :
         {"a b.zol", "50%f 100%.zol", "$HOME $(x).zol", "it's \"q\".zol", "back\\slash.zol"}) {
        const std::string path = temp.native + "/files/" + name;
        temp.Write("files/" + name, "x");
        const auto launched =
            Run("gio launch " + Quoted(Data() + "/applications/velmora-zol.desktop") + " " +
                Quoted(path));
        ASSERT_EQ(launched.first, 0) << launched.second;
        const std::vector<std::string> record = WaitForRecord();
        ASSERT_EQ(record.size(), 2u) << name;
        EXPECT_EQ(record[1], path + "/C") << name;
    }
}

// Each verb, from each file manager's file, reaches the program as one
// argument: the verb's prefix and the folder's exact path, run in the
// folder's parent.
TEST_F(DesktopIntegrationTest, BothFolderVerbsRunBesideTheFolderFromEveryFileManager) {
    RegisterNow();
    const std::string folder = temp.native + "/files/50%f it's $HOME \\ dir";
    temp.MakeFolder("files/50%f it's $HOME \\ dir");
    temp.Write("files/plain.txt", "x");
    struct Verb {
        std::string id, name, prefix;
    };
    for (const Verb& verb : {Verb{"encriptar-seguro", "Encriptar (seguro)...", "/S "},
                             Verb{"encriptar", "Encriptar...", ""}}) {
        SCOPED_TRACE(verb.name);
        const std::vector<std::string> expected = {temp.native + "/files", verb.prefix + folder};

        const std::string script = Data() + "/nautilus/scripts/" + verb.name;
        ASSERT_EQ(Run("NAUTILUS_SCRIPT_SELECTED_FILE_PATHS=" + Quoted(folder + "\n") + " " +
                      Quoted(script))
                      .first,
                  0);
        EXPECT_EQ(WaitForRecord(), expected);
        Run("NAUTILUS_SCRIPT_SELECTED_FILE_PATHS=" + Quoted(temp.native + "/files/plain.txt\n") +
            " " + Quoted(script));  // not a folder: nothing starts
        EXPECT_FALSE(fs::exists(Record()));

        // Thunar's "Enviar a" entry is launched as any desktop entry.
        const std::string send_to = Data() + "/Thunar/sendto/velmora-" + verb.id + ".desktop";
        ASSERT_EQ(Run("gio launch " + Quoted(send_to) + " " + Quoted(folder)).first, 0);
        EXPECT_EQ(WaitForRecord(), expected);

        // A file-manager action's command: its own codes expanded (%f as
        // a quoted word, %% as %), then split as a shell would.
        // (Each file's names, icons, order and selection are the package's,
        // compared with it below.)
        const KeyFile action(Data() + "/file-manager/actions/velmora-" + verb.id + ".desktop");
        std::string command = action.Get("X-Action-Profile folder", "Exec");
        const std::size_t code = command.rfind("%f");
        command.replace(code, 2, Quoted(folder));
        for (std::size_t at = command.find("%%"); at != std::string::npos;
             at = command.find("%%", at + 1))
            command.erase(at, 1);
        ASSERT_EQ(Run("sh -c " + Quoted(command)).first, 0);
        EXPECT_EQ(WaitForRecord(), expected);
    }
    EXPECT_TRUE(fs::exists(Data() + "/icons/hicolor/48x48/actions/velmora-legacy.png"));
    EXPECT_EQ(fs::status(Data() + "/kio/servicemenus/velmora-encriptar.desktop").permissions() &
                  fs::perms::all,
              fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                  fs::perms::others_read | fs::perms::others_exec);
}

// The relative paths of the files under a folder, but for the caches the
// desktop's helpers keep in a data folder (left behind, emptied): the MIME
// database (but for its packages) and the desktop entries'.
std::set<std::string> FilesUnder(const std::string& root) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string file = fs::relative(entry.path(), root).string();
        if (entry.is_regular_file() && file != "applications/mimeinfo.cache" &&
            (file.rfind("mime/", 0) != 0 || file.rfind("mime/packages/", 0) == 0))
            files.insert(file);
    }
    return files;
}

// Registering again changes nothing; unregistering removes every file and
// line of the registration, and keeps the user's.
TEST_F(DesktopIntegrationTest, RegisteringAgainChangesNothingAndUnregisteringKeepsTheUsersLines) {
    const std::string users_list =
        "[Default Applications]\ntext/plain=gedit.desktop\n\n[Removed Associations]\n"
        "image/png=gimp.desktop;\n";
    temp.Write("config/mimeapps.list", users_list);
    temp.Write("data/nemo/actions/other.nemo_action", "[Nemo Action]\n");
    RegisterNow();
    const TreeSnapshot first = Snapshot(temp.native + "/config");
    const TreeSnapshot data_first = Snapshot(Data());
    RegisterNow();
    EXPECT_EQ(Snapshot(temp.native + "/config"), first);
    EXPECT_EQ(Snapshot(Data()), data_first);
    EXPECT_NE(
        temp.Read("config/mimeapps.list").find("application/x-velmora-zol=velmora-zol.desktop\n"),
        std::string::npos);

    EXPECT_FALSE(RemoveDesktopIntegration(DesktopFolders::FromEnvironment()).empty());
    EXPECT_EQ(FilesUnder(Data()), std::set<std::string>{"nemo/actions/other.nemo_action"});
    EXPECT_EQ(temp.Read("config/mimeapps.list"), users_list + "\n[Added Associations]\n");
    temp.Write("files/a.zol", "not empty");
    EXPECT_NE(FileType(temp.native + "/files/a.zol"), "application/x-velmora-zol");
    EXPECT_TRUE(RemoveDesktopIntegration(DesktopFolders::FromEnvironment()).empty());
}

TEST_F(DesktopIntegrationTest, MissingHelpersAreSkippedAndTheStoreIsWrittenAnyway) {
    const std::string saved_path = getenv("PATH");
    setenv("PATH", (temp.native + "/home").c_str(), 1);
    RegisterNow();
    setenv("PATH", saved_path.c_str(), 1);
    EXPECT_TRUE(fs::exists(Data() + "/velmora/registry.reg"));
    EXPECT_TRUE(fs::exists(Data() + "/mime/packages/velmora.xml"));
    EXPECT_FALSE(fs::exists(Data() + "/mime/application/x-velmora-zol.xml"));
}

// Every desktop file a registration writes has a system-wide counterpart in
// the package under the same name, so the package's can always win; the
// file type's is the package's exactly (how the desktop reads it:
// TheFileTypeOpensWithOurEntry), a folder verb's file the package's but for
// the wrapper's folder and the Nemo action's hiding (same names, icons,
// order and selection).
TEST_F(DesktopIntegrationTest, ThePackageHasEveryDesktopFileARegistrationWrites) {
    RegisterNow();
    const std::set<std::string> packaged = FilesUnder(VELMORA_PACKAGED_SHARE);
    for (const std::string& file : FilesUnder(Data())) {
        // The icons are drawn when the package is built.
        const bool per_user_only = file.rfind("velmora/", 0) == 0 ||
                                   file.rfind("nautilus/", 0) == 0 || file.rfind("icons/", 0) == 0;
        EXPECT_TRUE(per_user_only || packaged.count(file)) << file;
        if (per_user_only || file.rfind("applications/", 0) == 0)
            continue;
        std::istringstream written(temp.Read("data/" + file));
        std::string expected;
        for (std::string line; std::getline(written, line);) {
            for (std::size_t at; (at = line.find(Data() + "/velmora/")) != std::string::npos;)
                line.replace(at, Data().size() + 9, "/usr/lib/velmora/");
            if (line.rfind("Dependencies=", 0) != 0)
                expected += line + "\n";
        }
        std::ifstream in(std::string(VELMORA_PACKAGED_SHARE) + "/" + file);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), expected) << file;
    }
}

// Beside the package (its share folder a system data folder), any copy of
// the program writes per user only what has no system-wide place, removes
// what an earlier registration left, and a Nemo action written before the
// package came is hidden by it.
TEST_F(DesktopIntegrationTest, ThePackagesFilesWinOverEveryPerUserCopy) {
    RegisterNow();  // written before the package is installed
    const std::string system = temp.native + "/system";
    temp.MakeFolder("system");
    const std::string dirs = temp.native + "/other::" + system;
    setenv("XDG_DATA_DIRS", dirs.c_str(), 1);
    RegisterNow();  // now with XDG_DATA_DIRS naming the (still empty) folder
    const KeyFile early(Data() + "/nemo/actions/velmora-encriptar-seguro.nemo_action");
    fs::copy(VELMORA_PACKAGED_SHARE, system, fs::copy_options::recursive);
    temp.Write("system/icons/hicolor/48x48/mimetypes/application-x-velmora-zol.png", "drawn");
    temp.Write("system/icons/hicolor/48x48/actions/velmora-legacy.png", "drawn");

    // Nemo shows every action it finds: the per-user one hides itself while
    // a file its "!" dependencies name exists.
    bool hidden = false;
    std::istringstream dependencies(early.Get("Nemo Action", "Dependencies"));
    for (std::string dependency; std::getline(dependencies, dependency, ';');)
        hidden |= dependency.rfind("!/", 0) == 0 && fs::exists(dependency.substr(1));
    EXPECT_TRUE(hidden) << early.Get("Nemo Action", "Dependencies");

    // The package's Nautilus extension takes the Nautilus scripts' place.
    const std::set<std::string> per_user_only = {
        "velmora/registry.reg", "velmora/velmora-encriptar", "velmora/velmora-encriptar-seguro"};
    for (const std::string& program_folder : {std::string("/usr/lib/velmora"), Bin()}) {
        SCOPED_TRACE(program_folder);
        RegisterFrom(program_folder);
        EXPECT_EQ(FilesUnder(Data()), per_user_only);
        EXPECT_FALSE(fs::exists(Data() + "/mime/application/x-velmora-zol.xml"));
        EXPECT_NE(temp.Read("data/velmora/velmora-encriptar-seguro")
                      .find("exec '" + program_folder + "/velmora' \"/S $1\""),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace velmora
