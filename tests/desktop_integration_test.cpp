#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "shell/posix/shell_integration.h"
#include "tests/temp_folder.h"
#include "tests/tree_snapshot.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

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
    }

    std::string Data() const { return temp.native + "/data"; }
    std::string Record() const { return temp.native + "/record"; }

    void RegisterNow() { RegisterFrom(temp.native + "/bin"); }
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
    EXPECT_EQ(Run("xdg-mime query filetype " + Quoted(temp.native + "/files/Mis fotos.ZOL")).second,
              "application/x-velmora-zol");
    EXPECT_EQ(Run("xdg-mime query default application/x-velmora-zol").second,
              "velmora-zol.desktop");
    const auto validated =
        Run("desktop-file-validate " + Quoted(Data() + "/applications/velmora-zol.desktop"));
    EXPECT_EQ(validated.first, 0) << validated.second;
    EXPECT_TRUE(
        fs::exists(Data() + "/icons/hicolor/48x48/mimetypes/application-x-velmora-zol.png"));
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

TEST_F(DesktopIntegrationTest, FolderVerbRunsBesideTheFolderFromEveryFileManager) {
    RegisterNow();
    const std::string folder = temp.native + "/files/50%f dir";
    temp.MakeFolder("files/50%f dir");
    const std::string script = Data() + "/nautilus/scripts/Encriptar...";
    ASSERT_EQ(
        Run("NAUTILUS_SCRIPT_SELECTED_FILE_PATHS=" + Quoted(folder + "\n") + " " + Quoted(script))
            .first,
        0);
    EXPECT_EQ(WaitForRecord(), (std::vector<std::string>{temp.native + "/files", folder}));

    temp.Write("files/plain.txt", "x");  // not a folder: nothing starts
    Run("NAUTILUS_SCRIPT_SELECTED_FILE_PATHS=" + Quoted(temp.native + "/files/plain.txt\n") + " " +
        Quoted(script));
    EXPECT_FALSE(fs::exists(Record()));

    const std::string menu = Data() + "/kio/servicemenus/velmora-encriptar.desktop";
    EXPECT_EQ(fs::status(menu).permissions() & fs::perms::all,
              fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                  fs::perms::others_read | fs::perms::others_exec);
    std::ifstream nemo(Data() + "/nemo/actions/velmora-encriptar.nemo_action");
    const std::string action((std::istreambuf_iterator<char>(nemo)), {});
    EXPECT_NE(action.find("Name=Encriptar...\n"), std::string::npos);
    EXPECT_NE(action.find("Extensions=dir;\n"), std::string::npos);
}

TEST_F(DesktopIntegrationTest, RegisteringAgainChangesNothingAndKeepsTheUsersLines) {
    temp.Write("config/mimeapps.list",
               "[Default Applications]\ntext/plain=gedit.desktop\n\n[Removed Associations]\n"
               "image/png=gimp.desktop;\n");
    RegisterNow();
    const TreeSnapshot first = Snapshot(temp.native + "/config");
    TreeSnapshot data_first = Snapshot(Data());
    RegisterNow();
    EXPECT_EQ(Snapshot(temp.native + "/config"), first);
    EXPECT_EQ(Snapshot(Data()), data_first);
    const std::string list = temp.Read("config/mimeapps.list");
    EXPECT_NE(list.find("text/plain=gedit.desktop\n"), std::string::npos);
    EXPECT_NE(list.find("[Removed Associations]\nimage/png=gimp.desktop;\n"), std::string::npos);
    EXPECT_NE(list.find("application/x-velmora-zol=velmora-zol.desktop\n"), std::string::npos);
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

TEST_F(DesktopIntegrationTest, BesideThePackageOnlyTheStoreAndTheNautilusScriptArePerUser) {
    RegisterNow();
    temp.MakeFolder("system/applications");
    fs::copy_file(VELMORA_PACKAGED_ENTRY, temp.native + "/system/applications/velmora-zol.desktop");
    const std::string dirs = temp.native + "/other::" + temp.native + "/system";
    setenv("XDG_DATA_DIRS", dirs.c_str(), 1);
    const std::vector<std::string> provided_by_the_package = {
        "mime/packages/velmora.xml",
        "icons/hicolor/48x48/mimetypes/application-x-velmora-zol.png",
        "applications/velmora-zol.desktop",
        "velmora/velmora-open",
        "kio/servicemenus/velmora-encriptar.desktop",
        "nemo/actions/velmora-encriptar.nemo_action"};

    RegisterFrom("/usr/lib/velmora");
    for (const std::string& file : provided_by_the_package)
        EXPECT_FALSE(fs::exists(Data() + "/" + file)) << file;
    EXPECT_FALSE(fs::exists(Data() + "/mime/application/x-velmora-zol.xml"));
    EXPECT_NE(temp.Read("data/velmora/registry.reg").find("/usr/lib/velmora/velmora"),
              std::string::npos);
    EXPECT_NE(temp.Read("data/velmora/velmora-encriptar").find("exec '/usr/lib/velmora/velmora'"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(Data() + "/nautilus/scripts/Encriptar..."));

    RegisterNow();  // another copy of the program beside the package renders it all
    unsetenv("XDG_DATA_DIRS");
    for (const std::string& file : provided_by_the_package)
        EXPECT_TRUE(fs::exists(Data() + "/" + file)) << file;
}

}  // namespace
}  // namespace velmora
