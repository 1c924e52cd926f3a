#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "shell/win32/shell_integration_win32.h"

namespace velmora {
namespace {

// The default value of a key under HKEY_CURRENT_USER\Software\Classes, read
// back through the registry's own API; "<missing>" when there is none.
std::string DefaultValue(const std::string& key) {
    char data[1024];
    DWORD size = sizeof data;
    const std::string full = "Software\\Classes\\" + key;
    if (RegGetValueA(HKEY_CURRENT_USER, full.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, data,
                     &size) != ERROR_SUCCESS)
        return "<missing>";
    return data;
}

void DeleteTree(const std::string& key) {
    RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\Classes\\" + key).c_str());
}

class RegistrationWin32Test : public ::testing::Test {
  protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        DeleteTree("Velmor.velmora");
        DeleteTree(".zol");
        DeleteTree("Directory\\shell\\Encriptar...");
        DeleteTree("Directory\\shell\\Encriptar (seguro)...");
    }
    void Register(const std::string& folder) {
        int pumps = 0;
        RegisterShellIntegration([&] { return folder; }, [&] { ++pumps; });
        EXPECT_EQ(pumps, 1);
    }
};

TEST_F(RegistrationWin32Test, TheFiveEntriesAndTheSealedVerbReadBackFromTheUsersClasses) {
    struct Case {
        std::string folder;
        std::string open_command, icon, folder_command, sealed_command;
    };
    const Case cases[] = {
        // At a drive's root the folder already ends in a separator.
        {"D:\\", "\"D:\\\\velmora.exe\" %1/C", "D:\\\\secreto.ico", "\"D:\\\\velmora.exe\" %1",
         "\"D:\\\\velmora.exe\" /S %1"},
        {"C:\\Se\xF1or", "\"C:\\Se\xF1or\\velmora.exe\" %1/C", "C:\\Se\xF1or\\secreto.ico",
         "\"C:\\Se\xF1or\\velmora.exe\" %1", "\"C:\\Se\xF1or\\velmora.exe\" /S %1"},
    };
    // A folder verb left by an earlier program is replaced.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER,
                            "Software\\Classes\\Directory\\shell\\Encriptar...\\command", &key),
              ERROR_SUCCESS);
    RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>("viejo"), 6);
    RegCloseKey(key);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        Register(c.folder);
        Register(c.folder);  // twice: the same entries
        EXPECT_EQ(DefaultValue("Velmor.velmora"), "Carpeta de Archivos Encriptada por Velmora");
        EXPECT_EQ(DefaultValue(".zol"), "Velmor.velmora");
        EXPECT_EQ(DefaultValue("Velmor.velmora\\shell\\open\\command"), c.open_command);
        EXPECT_EQ(DefaultValue("Velmor.velmora\\DefaultIcon"), c.icon);
        EXPECT_EQ(DefaultValue("Directory\\shell\\Encriptar...\\command"), c.folder_command);
        EXPECT_EQ(DefaultValue("Directory\\shell\\Encriptar..."), "<missing>");
        EXPECT_EQ(DefaultValue("Directory\\shell\\Encriptar (seguro)...\\command"),
                  c.sealed_command);
    }
}

// Unregistering removes Velmora's keys and its ".zol" binding, and nothing
// of another program's.
TEST_F(RegistrationWin32Test, UnregisteringRemovesOnlyVelmorasKeys) {
    HKEY other = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER,
                            "Software\\Classes\\Directory\\shell\\OtroVerbo\\command", &other),
              ERROR_SUCCESS);
    RegCloseKey(other);
    Register("C:\\Velmora");
    EXPECT_EQ(UnregisterShellIntegration().size(), 4u);
    for (const char* key : {"Velmor.velmora", ".zol", "Directory\\shell\\Encriptar...\\command",
                            "Directory\\shell\\Encriptar (seguro)...\\command"})
        EXPECT_EQ(DefaultValue(key), "<missing>") << key;
    HKEY left = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Classes\\Directory\\shell\\OtroVerbo", 0,
                            KEY_READ, &left),
              ERROR_SUCCESS);
    RegCloseKey(left);
    DeleteTree("Directory\\shell\\OtroVerbo");

    // A ".zol" bound to another program stays bound to it.
    Register("C:\\Velmora");
    HKEY extension = nullptr;
    RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Classes\\.zol", &extension);
    RegSetValueExA(extension, "", 0, REG_SZ, reinterpret_cast<const BYTE*>("Otro.programa"), 14);
    RegCloseKey(extension);
    EXPECT_EQ(UnregisterShellIntegration().size(), 3u);
    EXPECT_EQ(DefaultValue(".zol"), "Otro.programa");
}

}  // namespace
}  // namespace velmora
