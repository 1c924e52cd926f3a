#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>
#include <vector>

#include "platform/posix/regedit_file.h"
#include "platform/posix/registry_store.h"
#include "shell/cassociate.h"
#include "shell/registration.h"
#include "tests/temp_folder.h"

namespace velmora {
namespace {

// A registry that forwards to the store and records every call by name.
class RecordingRegistry : public Registry {
  public:
    explicit RecordingRegistry(RegistryStore& store) : store_(store) {}
    long RegCreateKeyA(Key root, const std::string& subkey, Key& result) override {
        calls.push_back("RegCreateKeyA " + subkey);
        return store_.RegCreateKeyA(root, subkey, result);
    }
    long RegSetValueA(Key key, const std::string& subkey, std::uint32_t type,
                      const std::string& data, std::uint32_t length) override {
        calls.push_back("RegSetValueA " + subkey);
        return store_.RegSetValueA(key, subkey, type, data, length);
    }
    long RegOpenKeyExA(Key root, const std::string& subkey, std::uint32_t options,
                       std::uint32_t access, Key& result) override {
        const long code = store_.RegOpenKeyExA(root, subkey, options, access, result);
        calls.push_back("RegOpenKeyExA " + subkey + (code == kSuccess ? " found" : " missing"));
        return code;
    }
    long RegCreateKeyExA(Key root, const std::string& subkey, std::uint32_t reserved,
                         std::uint32_t options, std::uint32_t access, Key& result,
                         std::uint32_t& disposition) override {
        calls.push_back("RegCreateKeyExA " + subkey);
        return store_.RegCreateKeyExA(root, subkey, reserved, options, access, result, disposition);
    }
    long RegSetValueExA(Key key, const std::string& value_name, std::uint32_t reserved,
                        std::uint32_t type, const std::string& data) override {
        calls.push_back("RegSetValueExA");
        return store_.RegSetValueExA(key, value_name, reserved, type, data);
    }
    long RegCloseKey(Key key) override {
        calls.push_back("RegCloseKey");
        return store_.RegCloseKey(key);
    }
    std::vector<std::string> calls;

  private:
    RegistryStore& store_;
};

class RegistrationTest : public ::testing::Test {
  protected:
    std::string StoreFile() const { return temp.native + "/data/velmora/registry.reg"; }

    void Register(Registry& registry, const std::string& folder) {
        RegistrationContext context{registry, [folder] { return folder; }, '/', "velmora",
                                    [this] { ++pumps; }};
        RegistrarAsociacion(context);
    }

    std::string FileText() const {
        std::ifstream in(StoreFile(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    TempFolder temp;
    int pumps = 0;
};

TEST_F(RegistrationTest, WritesTheFiveEntriesInOrderAndAgainTheSame) {
    RegistryStore store(StoreFile());
    RecordingRegistry registry(store);
    Register(registry, "/opt/velmora");
    EXPECT_EQ(
        registry.calls,
        (std::vector<std::string>{
            "RegCreateKeyA Velmor.velmora", "RegSetValueA ", "RegCreateKeyA .zol", "RegSetValueA ",
            "RegCreateKeyA Velmor.velmora", "RegSetValueA shell\\open\\command",
            "RegSetValueA DefaultIcon", "RegCloseKey", "RegCloseKey", "RegCloseKey",
            "RegOpenKeyExA Directory\\shell\\Encriptar...\\command missing",
            "RegCreateKeyExA Directory\\shell\\Encriptar...\\command", "RegSetValueExA",
            "RegCloseKey"}));
    EXPECT_EQ(pumps, 1);

    const std::string first = FileText();
    RegistryStore reread(StoreFile());
    EXPECT_EQ(reread.DefaultValue("Velmor.velmora"), "Carpeta de Archivos Encriptada por Velmora");
    EXPECT_EQ(reread.DefaultValue(".zol"), "Velmor.velmora");
    EXPECT_EQ(reread.DefaultValue("Velmor.velmora\\shell\\open\\command"),
              "\"/opt/velmora/velmora\" %1/C");
    EXPECT_EQ(reread.DefaultValue("Velmor.velmora\\DefaultIcon"), "/opt/velmora/secreto.ico");
    EXPECT_EQ(reread.DefaultValue("Directory\\shell\\Encriptar...\\command"),
              "\"/opt/velmora/velmora\" %1");
    EXPECT_EQ(reread.DefaultValue("directory\\SHELL\\encriptar...\\command"),
              "\"/opt/velmora/velmora\" %1");  // key names ignore case

    RegistryStore second_start(StoreFile());
    Register(second_start, "/opt/velmora");
    EXPECT_EQ(FileText(), first);
    EXPECT_EQ(first.rfind("REGEDIT4\r\n", 0), 0u);
    EXPECT_NE(first.find("[HKEY_CLASSES_ROOT\\Velmor.velmora\\shell\\open\\command]\r\n"
                         "@=\"\\\"/opt/velmora/velmora\\\" %1/C\"\r\n"),
              std::string::npos);
}

TEST_F(RegistrationTest, AnExistingVerbKeyIsOpenedAndReplaced) {
    {
        RegistryStore store(StoreFile());
        Registry::Key key = 0;
        store.RegCreateKeyA(Registry::kClassesRoot, "Directory\\shell\\Encriptar...\\command", key);
        store.RegSetValueExA(key, "", 0, Registry::kString, "old");
    }
    RegistryStore store(StoreFile());
    RecordingRegistry registry(store);
    Register(registry, "/usr/bin");
    EXPECT_EQ(registry.calls.at(10), "RegOpenKeyExA Directory\\shell\\Encriptar...\\command found");
    EXPECT_EQ(registry.calls.at(11), "RegSetValueExA");  // not created again
    EXPECT_EQ(store.DefaultValue("Directory\\shell\\Encriptar...\\command"),
              "\"/usr/bin/velmora\" %1");
}

TEST_F(RegistrationTest, ProgramFoldersWithSpacesOrAFinalSeparatorKeepTheirForm) {
    RegistryStore store(StoreFile());
    Register(store, "/home/ana/Mis Programas");
    EXPECT_EQ(store.DefaultValue("Velmor.velmora\\shell\\open\\command"),
              "\"/home/ana/Mis Programas/velmora\" %1/C");
    Register(store, "/");
    EXPECT_EQ(store.DefaultValue("Velmor.velmora\\shell\\open\\command"), "\"//velmora\" %1/C");
    EXPECT_EQ(store.DefaultValue("Velmor.velmora\\DefaultIcon"), "//secreto.ico");
    EXPECT_EQ(store.DefaultValue("Directory\\shell\\Encriptar...\\command"), "\"//velmora\" %1");
}

TEST_F(RegistrationTest, AssociateRefusesEmptyTitleOrClassAndWritesNothing) {
    RegistryStore store(StoreFile());
    RecordingRegistry registry(store);
    CAssociate association(registry, [this] { ++pumps; });
    for (const auto& [title, class_name, number] :
         {std::tuple{"", "Velmor.velmora", 922}, std::tuple{"T", "", 926}}) {
        association.Title = title;
        association.Class = class_name;
        try {
            association.Associate();
            ADD_FAILURE() << "accepted title \"" << title << "\", class \"" << class_name << "\"";
        } catch (const AssociateError& error) {
            EXPECT_EQ(error.Number, number);
            EXPECT_EQ(error.Source, "Associate Class");
            EXPECT_EQ(error.Description, "ss");
        }
    }
    EXPECT_TRUE(registry.calls.empty());
    EXPECT_EQ(pumps, 0);
    EXPECT_FALSE(std::filesystem::exists(StoreFile()));
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
