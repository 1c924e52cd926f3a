#include <gtest/gtest.h>

#include <string>

#include "shell/registration.h"
#ifdef _WIN32
#include <windows.h>

#include "shell/win32/shell_integration_win32.h"
#else
#include "platform/posix/registry_store.h"
#include "tests/temp_folder.h"
#endif

namespace velmora {
namespace {

// The registration into the system's own registry, read back through it:
// the user's classes on Windows, the REGEDIT4 store file elsewhere.
class RegistrationTest : public ::testing::Test {
  protected:
#ifdef _WIN32
    void SetUp() override {
        TearDown();
    }
    void TearDown() override {
        for (const char* key :
             {"Velmor.velmora", ".zol", "Directory\\shell\\Encriptar...",
              "Directory\\shell\\Encriptar (seguro)...", "Directory\\shell\\OtroVerbo"})
            RegDeleteTreeA(HKEY_CURRENT_USER, Full(key).c_str());
    }
    static std::string Full(const std::string& key) {
        return std::string(kUserClasses) + "\\" + key;
    }
    void Register(const std::string& folder) {
        RegisterShellIntegration([folder] { return folder; }, [this] { ++pumps; });
    }
    // "<missing>" when the key has no default value.
    std::string DefaultValue(const std::string& key) const {
        char data[1024];
        DWORD size = sizeof data;
        return RegGetValueA(HKEY_CURRENT_USER, Full(key).c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                            data, &size) == ERROR_SUCCESS
                   ? data
                   : "<missing>";
    }

    Win32Registry registry;
#else
    std::string StoreFile() const {
        return temp.native + "/data/velmora/registry.reg";
    }
    void Register(const std::string& folder, Registry* into = nullptr) {
        RegistrationContext context{into ? *into : registry, [folder] { return folder; }, '/',
                                    "velmora", [this] { ++pumps; }};
        RegistrarAsociacion(context);
    }
    // Read from the file anew; "<missing>" when the key has no default value.
    std::string DefaultValue(const std::string& key) const {
        return RegistryStore(StoreFile()).DefaultValue(key).value_or("<missing>");
    }

    TempFolder temp;
    RegistryStore registry{StoreFile()};
#endif
    // Gives a key of the classes its default value, as another program would.
    void SetDefault(const std::string& key, const std::string& value) {
        Registry::Key opened = 0;
        EXPECT_EQ(registry.RegCreateKeyA(Registry::kClassesRoot, key, opened), Registry::kSuccess);
        registry.RegSetValueExA(opened, "", 0, Registry::kString, value);
        registry.RegCloseKey(opened);
    }

    int pumps = 0;
};

// The five entries and the second folder verb, for program folders of every
// form (at the root the folder already ends in a separator: the form is
// kept), over folder verbs left by an earlier program, the same when
// registered again.
TEST_F(RegistrationTest, WritesTheFiveEntriesAndTheSealedVerbOverEarlierVerbs) {
    struct Case {
        std::string folder, program, icon;
    };
#ifdef _WIN32
    const Case cases[] = {
        {"D:\\", "D:\\\\velmora.exe", "D:\\\\secreto.ico"},
        {"C:\\Se\xF1or", "C:\\Se\xF1or\\velmora.exe", "C:\\Se\xF1or\\secreto.ico"},
    };
#else
    const Case cases[] = {
        {"/opt/velmora", "/opt/velmora/velmora", "/opt/velmora/secreto.ico"},
        {"/home/ana/Mis Programas", "/home/ana/Mis Programas/velmora",
         "/home/ana/Mis Programas/secreto.ico"},
        {"/", "//velmora", "//secreto.ico"},
    };
#endif
    for (const char* verb : {"Encriptar...", "Encriptar (seguro)..."})
        SetDefault(std::string("Directory\\shell\\") + verb + "\\command", "old");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        pumps = 0;
        Register(c.folder);
        Register(c.folder);
        EXPECT_EQ(pumps, 2);
        EXPECT_EQ(DefaultValue("Velmor.velmora"), "Carpeta de Archivos Encriptada por Velmora");
        EXPECT_EQ(DefaultValue(".zol"), "Velmor.velmora");
        const std::string program = "\"" + c.program + "\"";
        EXPECT_EQ(DefaultValue("Velmor.velmora\\shell\\open\\command"), program + " %1/C");
        EXPECT_EQ(DefaultValue("Velmor.velmora\\DefaultIcon"), c.icon);
        // Key names ignore case.
        EXPECT_EQ(DefaultValue("directory\\SHELL\\encriptar...\\command"), program + " %1");
        EXPECT_EQ(DefaultValue("Directory\\shell\\Encriptar..."), "<missing>");
        EXPECT_EQ(DefaultValue("Directory\\shell\\Encriptar (seguro)...\\command"),
                  program + " /S %1");
    }
#ifndef _WIN32
    const std::string written = temp.Read("data/velmora/registry.reg");
    EXPECT_EQ(written.rfind("REGEDIT4\r\n", 0), 0u);
    EXPECT_NE(written.find("[HKEY_CLASSES_ROOT\\Velmor.velmora\\shell\\open\\command]\r\n"
                           "@=\"\\\"//velmora\\\" %1/C\"\r\n"),
              std::string::npos);
#endif
}

#ifdef _WIN32
// Unregistering removes Velmora's keys and its ".zol" binding, and nothing
// of another program's.
TEST_F(RegistrationTest, UnregisteringRemovesOnlyVelmorasKeys) {
    SetDefault("Directory\\shell\\OtroVerbo", "otro");
    Register("C:\\Velmora");
    EXPECT_EQ(UnregisterShellIntegration().size(), 4u);
    for (const char* key : {"Velmor.velmora", ".zol", "Directory\\shell\\Encriptar...\\command",
                            "Directory\\shell\\Encriptar (seguro)...\\command"})
        EXPECT_EQ(DefaultValue(key), "<missing>") << key;
    EXPECT_EQ(DefaultValue("Directory\\shell\\OtroVerbo"), "otro");

    // A ".zol" bound to another program stays bound to it.
    Register("C:\\Velmora");
    SetDefault(".zol", "Otro.programa");
    EXPECT_EQ(UnregisterShellIntegration().size(), 3u);
    EXPECT_EQ(DefaultValue(".zol"), "Otro.programa");
}
#else
TEST_F(RegistrationTest, AnUnwritableStoreFailsQuietly) {
    temp.Write("blocker", "a file where the store's folder should be");
    RegistryStore store(temp.native + "/blocker/velmora/registry.reg");
    Register("/opt/velmora", &store);  // nothing thrown, nothing stopped
    Registry::Key key = 0;
    EXPECT_EQ(store.RegCreateKeyA(Registry::kClassesRoot, "X", key), Registry::kAccessDenied);
}

TEST(RegeditFileTest, EscapesRoundTrip) {
    RegeditKeys keys;
    keys.keys["A\\B"][""] = "say \"hi\" \\ there";
    keys.keys["A\\B"]["named"] = "v";
    keys.keys["Empty"];
    const RegeditKeys back = ReadRegedit(WriteRegedit(keys));
    EXPECT_EQ(back.keys, keys.keys);
    EXPECT_TRUE(ReadRegedit("REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n@=\"no\"\n").keys.empty());
}
#endif

}  // namespace
}  // namespace velmora
