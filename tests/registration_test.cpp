#include <gtest/gtest.h>

#include <filesystem>

#include "platform/posix/registry_store.h"
#include "shell/registration.h"
#include "tests/temp_folder.h"

namespace velmora {
namespace {

class RegistrationTest : public ::testing::Test {
  protected:
    std::string StoreFile() const { return temp.native + "/data/velmora/registry.reg"; }

    void Register(Registry& registry, const std::string& folder) {
        RegistrationContext context{registry, [folder] { return folder; }, '/', "velmora",
                                    [this] { ++pumps; }};
        RegistrarAsociacion(context);
    }

    TempFolder temp;
    int pumps = 0;
};

// The five entries and the second folder verb, for program folders of every
// form, over folder verbs left by an earlier program.
TEST_F(RegistrationTest, WritesTheFiveEntriesAndTheSealedVerbOverEarlierVerbs) {
    struct Case {
        std::string folder, program, icon;
    };
    const Case cases[] = {
        {"/opt/velmora", "/opt/velmora/velmora", "/opt/velmora/secreto.ico"},
        {"/home/ana/Mis Programas", "/home/ana/Mis Programas/velmora",
         "/home/ana/Mis Programas/secreto.ico"},
        // The root already ends in a separator: the form is kept.
        {"/", "//velmora", "//secreto.ico"},
    };
    {
        RegistryStore store(StoreFile());
        for (const char* verb : {"Encriptar...", "Encriptar (seguro)..."}) {
            Registry::Key key = 0;
            store.RegCreateKeyA(Registry::kClassesRoot,
                                std::string("Directory\\shell\\") + verb + "\\command", key);
            store.RegSetValueExA(key, "", 0, Registry::kString, "old");
        }
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        pumps = 0;
        {
            RegistryStore store(StoreFile());
            Register(store, c.folder);
        }
        EXPECT_EQ(pumps, 1);
        RegistryStore reread(StoreFile());
        EXPECT_EQ(reread.DefaultValue("Velmor.velmora"),
                  "Carpeta de Archivos Encriptada por Velmora");
        EXPECT_EQ(reread.DefaultValue(".zol"), "Velmor.velmora");
        const std::string program = "\"" + c.program + "\"";
        EXPECT_EQ(reread.DefaultValue("Velmor.velmora\\shell\\open\\command"), program + " %1/C");
        EXPECT_EQ(reread.DefaultValue("Velmor.velmora\\DefaultIcon"), c.icon);
        EXPECT_EQ(reread.DefaultValue("Directory\\shell\\Encriptar...\\command"), program + " %1");
        // Key names ignore case.
        EXPECT_EQ(reread.DefaultValue("directory\\SHELL\\encriptar...\\command"), program + " %1");
        EXPECT_EQ(reread.DefaultValue("Directory\\shell\\Encriptar (seguro)...\\command"),
                  program + " /S %1");
    }
    const std::string written = temp.Read("data/velmora/registry.reg");
    EXPECT_EQ(written.rfind("REGEDIT4\r\n", 0), 0u);
    EXPECT_NE(written.find("[HKEY_CLASSES_ROOT\\Velmor.velmora\\shell\\open\\command]\r\n"
                           "@=\"\\\"//velmora\\\" %1/C\"\r\n"),
              std::string::npos);
}

TEST_F(RegistrationTest, AnUnwritableStoreFailsQuietly) {
    temp.Write("blocker", "a file where the store's folder should be");
    RegistryStore store(temp.native + "/blocker/velmora/registry.reg");
    Register(store, "/opt/velmora");  // nothing thrown, nothing stopped
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

}  // namespace
}  // namespace velmora
