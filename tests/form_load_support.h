#pragma once

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/form2_presenter.h"
#include "app/form_load.h"
#include "cipher/cipher_tables.h"
#include "tests/engine_support.h"
#include "tests/temp_folder.h"
#include "tests/tree_snapshot.h"

namespace velmora {

// What start-up did with its windows, in order.
using Steps = std::vector<std::string>;

// The password dialog's caption when a container is opened.
inline const std::string kDecodingCaption =
    "Escribe la contrase\xF1"
    "a:";

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
    bool AskYesNo(const std::string& question) override {
        questions.push_back(question);
        return answer_yes;
    }

    std::function<void()> answer_dialog;
    std::string dialog_caption;
    std::string dialog_tag = "1";
    Steps steps;
    std::vector<std::string> questions;
    bool answer_yes = false;

  private:
    TestHost& host_;
};

// The password dialog as a person uses it, through the real presenter: each
// try fills the boxes and presses "Ok", until the dialog hides itself after
// an accepted password; when the tries run out the person presses
// "Cancelar".
class TypingDialog : public Form2View {
  public:
    TypingDialog(ProgramState& state, const CipherTables& tables, Host& host)
        : presenter_(state, tables, *this, [&host] { host.EndProgram(); }) {}

    void Run(DialogMode mode) {
        hidden = false;
        presenter_.Shown(mode);
        for (const auto& [first, second] : tries) {
            boxes = {first, second};
            presenter_.Command1_Click(mode);
            if (hidden)
                return;
        }
        presenter_.Command2_Click();
    }

    TypedPassword BoxText(int index, PasswordCoding) const override { return boxes[index]; }
    void SetBoxText(int index, const std::string& text, PasswordCoding) override {
        boxes[index] = text;
    }
    void LimitFirstBox(int) override {}
    void HideSecondBox() override {}
    void FocusBox(int) override {}
    void ShowMessage(const std::string& text, MessageIcon) override { messages.push_back(text); }
    bool AskYesNo(const std::string& text) override {
        messages.push_back(text);
        return false;
    }
    void PumpEvents() override {
        ++pumps;
        if (on_pump)
            on_pump();
    }
    void HideDialog() override { hidden = true; }
    void ShowSealedRows(const SealedDialogRows& shown, int height) override {
        rows = shown;
        client_height = height;
    }
    void SetCaption(const std::string& caption) override { captions.push_back(caption); }
    void SetBusy(bool busy) override { captions.push_back(busy ? "busy" : "not busy"); }

    std::vector<std::pair<std::string, std::string>> tries;
    SealedDialogRows rows;
    int client_height = -1;  // -1: the sealed rows never shown
    // The captions set and the pointer's changes, in order.
    std::vector<std::string> captions;
    std::array<std::string, 2> boxes;
    std::vector<std::string> messages;
    bool hidden = false;
    int pumps = 0;
    std::function<void()> on_pump;

  private:
    Form2Presenter presenter_;
};

class FormLoadTest : public ::testing::Test {
  protected:
    FormLoadTest() : tables(nullptr) {
        windows.answer_dialog = [this] { state.key = DeriveKey("clave").value(); };
    }

    // Runs start-up in `working_folder`; true when it ended the program,
    // false when it returned with the main window left idle. What an earlier
    // start recorded is forgotten first (the host anew, but for what a pump
    // does).
    bool Start(const std::string& command_line) {
        WorkingFolder inside(working_folder);
        windows.steps.clear();
        windows.questions.clear();
        std::function<void(int)> on_pump = std::move(host.on_pump);
        host = TestHost(files, state.cancel);
        host.on_pump = std::move(on_pump);
        StartupServices services{files,
                                 clock,
                                 tables,
                                 windows,
                                 [this] { windows.steps.push_back("register"); },
                                 sealed_parameters};
        // Each start is a new process: the paths begin in Windows-1252.
        files.SetNameCoding(NameCoding::kWindows1252);
        try {
            Form_Load(command_line, state, services);
            return false;
        } catch (const ProgramEnded&) {
            return true;
        }
    }

    // Starts with `command_line`, which must end the program after the
    // windows' `steps`, leaving the temporary folder exactly as it was.
    void ExpectEndsTouchingNothing(const std::string& command_line, const Steps& steps) {
        const TreeSnapshot before = Snapshot(temp.native);
        EXPECT_TRUE(Start(command_line)) << command_line;
        EXPECT_EQ(windows.steps, steps) << command_line;
        EXPECT_EQ(Snapshot(temp.native), before) << command_line;
    }

    TempFolder temp;
    RecordingFileSystem files;
    TestHost host{files, state.cancel};
    SteppingClock clock{100.0, 0.5};
    CipherTables tables;
    ProgramState state;
    FakeWindows windows{host};
    // For the containers start-up seals.
    SealedParameters sealed_parameters = kFastParameters;
    // Where start-up runs, and writes the containers of folders.
    std::string working_folder = temp.native;
};

}  // namespace velmora
