#include <gtest/gtest.h>

#include <functional>

#include "app/form_load.h"
#include "cipher/key_derivation.h"
#include "container/engine.h"
#include "tests/engine_support.h"
#include "tests/temp_folder.h"
#include "tests/tree_snapshot.h"

namespace velmora {
namespace {

// The file system with attribute values forced for the start-up decision,
// for values a Linux file system cannot hold (15, 47, ...). The directory
// search still sees the real entry.
class ForcedAttributes : public PosixFileSystem {
  public:
    Result<int> GetAttr(const std::string& path) override {
        const auto it = forced.find(path);
        if (it != forced.end() && !searching_)
            return it->second;
        return PosixFileSystem::GetAttr(path);
    }
    Result<std::vector<std::string>> Dir(const std::string& path, int mask) override {
        searching_ = true;
        Result<std::vector<std::string>> names = PosixFileSystem::Dir(path, mask);
        searching_ = false;
        return names;
    }
    std::map<std::string, int> forced;

  private:
    bool searching_ = false;
};

// The windows as start-up drives them; the password dialog's modal step is
// the test's.
class FakeWindows : public StartupWindows {
  public:
    explicit FakeWindows(TestHost& host) : host_(host) {}
    Host& MainWindow() override { return host_; }
    void SetPasswordDialogCaption(const std::string& caption) override { dialog_caption = caption; }
    void SetPasswordDialogTag(const std::string& tag) override { dialog_tag = tag; }
    void ShowPasswordDialogModal() override {
        steps.push_back("dialog " + dialog_tag);
        answer_dialog();
    }
    void ClearPasswordBox() override { steps.push_back("clear box"); }
    void ShowMainWindow() override { steps.push_back("main window"); }
    void ShowInstructionsModal() override { steps.push_back("instructions"); }

    std::function<void()> answer_dialog;
    std::string dialog_caption =
        "Escriba la contrase\xF1"
        "a:";
    std::string dialog_tag = "1";
    std::vector<std::string> steps;

  private:
    TestHost& host_;
};

class FormLoadTest : public ::testing::Test {
  protected:
    FormLoadTest() : tables(nullptr) {
        windows.answer_dialog = [this] { state.engine.PasswordKey = DeriveKey("clave").value(); };
    }

    // Runs start-up; true when it ended the program, false when it returned
    // with the main window left idle.
    bool Start(const std::string& command_line) {
        StartupServices services{files, clock, tables, windows,
                                 [this] { windows.steps.push_back("register"); }};
        try {
            Form_Load(command_line, state, services);
            return false;
        } catch (const ProgramEnded&) {
            return true;
        }
    }

    TempFolder temp;
    ForcedAttributes files;
    TestHost host{files, state.engine};
    SteppingClock clock{100.0, 0.5};
    CipherTables tables;
    ProgramState state;
    FakeWindows windows{host};
};

TEST_F(FormLoadTest, TheAttributeValueDecidesBetweenEncodingAndIdling) {
    struct Case {
        int attributes;
        bool encodes;
    };
    for (const Case c :
         {Case{15, false}, Case{16, true}, Case{32, false}, Case{47, false}, Case{48, true}}) {
        const std::string name = "F" + std::to_string(c.attributes);
        temp.Write(name + "/dato.txt", "d");
        files.forced[temp.path + "\\" + name] = c.attributes;
        windows.steps.clear();
        const bool ended = Start(temp.native + "/" + name);
        EXPECT_EQ(ended, c.encodes) << c.attributes;
        EXPECT_EQ(temp.Exists(name + ".zol"), false) << "the container goes to the working folder";
        if (c.encodes) {
            EXPECT_EQ(windows.steps, (std::vector<std::string>{"dialog 1", "main window"}));
        } else {
            EXPECT_TRUE(windows.steps.empty()) << c.attributes;
            EXPECT_TRUE(temp.Exists(name + "/dato.txt"));
        }
    }
}

TEST_F(FormLoadTest, EncodingRunsEndToEndFromTheWorkingFolder) {
    temp.Write("Cartas/a.txt", "querida");
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(temp.native);
    EXPECT_TRUE(Start(temp.native + "/Cartas"));
    std::filesystem::current_path(previous);
    EXPECT_TRUE(temp.Exists("Cartas.zol"));
    EXPECT_FALSE(temp.Exists("Cartas"));
    EXPECT_TRUE(host.unloaded);
    EXPECT_EQ(state.engine.BasePathLength,
              static_cast<std::int64_t>((temp.path + "\\Cartas").size()));
}

TEST_F(FormLoadTest, AFileWithValue128IsHandedToEncodingWhichRefusesIt) {
    temp.Write("normal.txt", "n");
    files.forced[temp.path + "\\normal.txt"] = kNormal;
    EXPECT_TRUE(Start(temp.native + "/normal.txt"));
    EXPECT_EQ(windows.steps, (std::vector<std::string>{"dialog 1", "main window"}));
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(temp.Read("normal.txt"), "n");
}

TEST_F(FormLoadTest, NothingUsableRegistersAndShowsTheInstructions) {
    temp.MakeFolder(".oculta");
    for (const std::string& line : {std::string(""), temp.native + "/falta",
                                    temp.native + "/.oculta", temp.native + "/x/c"}) {
        windows.steps.clear();
        EXPECT_TRUE(Start(line)) << line;
        EXPECT_EQ(windows.steps, (std::vector<std::string>{"register", "instructions"})) << line;
    }
    EXPECT_EQ(tables.KeyIndexTable(1), 2);  // the tables are built first, whatever follows
}

TEST_F(FormLoadTest, DecodingAsksOnceWithItsOwnCaptionAndRestores) {
    temp.Write("Fotos/uno.jpg", "jpg");
    {
        EngineState encoding;
        encoding.FolderPath = temp.path + "\\Fotos";
        encoding.BasePathLength = static_cast<std::int64_t>(encoding.FolderPath.size());
        tables.CrearBuffer();
        Engine engine(files, host, tables, clock, encoding, {.container_folder = temp.path});
        ASSERT_EQ(engine.Hacelo(DeriveKey("clave").value()).outcome, Outcome::kDone);
    }
    EXPECT_TRUE(Start(temp.native + "/Fotos.zol/C"));
    EXPECT_EQ(windows.dialog_caption,
              "Escribe la contrase\xF1"
              "a:");
    EXPECT_EQ(windows.steps, (std::vector<std::string>{"dialog 2", "main window", "clear box"}));
    EXPECT_EQ(temp.Read("Fotos/UNO.JPG"), "jpg");
    EXPECT_FALSE(temp.Exists("Fotos.zol"));
    EXPECT_TRUE(state.engine.PasswordKey.empty());
    EXPECT_TRUE(state.engine.FolderPath.empty());
}

TEST_F(FormLoadTest, AMissingOrShortContainerEndsWithAMessageAndCreatesNothing) {
    temp.Write("corto.zol", "demasiado corto");
    for (const std::string& line :
         {temp.native + "/falta.zol/C", std::string("/C"), temp.native + "/corto.zol/C"}) {
        const TreeSnapshot before = Snapshot(temp.native);
        host.messages.clear();
        windows.steps.clear();
        EXPECT_TRUE(Start(line)) << line;
        EXPECT_EQ(host.messages.size(), 1u) << line;
        EXPECT_TRUE(windows.steps.empty()) << line;
        EXPECT_EQ(Snapshot(temp.native), before) << line;
    }
}

TEST_F(FormLoadTest, CancellingTheEncodingDialogTouchesNothing) {
    temp.Write("Intacta/a", "a");
    const TreeSnapshot before = Snapshot(temp.native);
    windows.answer_dialog = [this] { host.EndProgram(); };
    EXPECT_TRUE(Start(temp.native + "/Intacta"));
    EXPECT_EQ(Snapshot(temp.native), before);
}

}  // namespace
}  // namespace velmora
