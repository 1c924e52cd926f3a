#include "app/form2_presenter.h"

#include "base/messages.h"

namespace velmora {
namespace {

// Marks the dialog busy for a scope, whatever way the scope is left.
class Busy {
  public:
    explicit Busy(bool& flag) : flag_(flag) { flag_ = true; }
    ~Busy() { flag_ = false; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

  private:
    bool& flag_;
};

}  // namespace

void Form2Presenter::Shown(DialogMode mode) {
    view_.LimitFirstBox(FirstBoxLimit(mode));
    if (!SecondBoxShown(mode))
        view_.HideSecondBox();
    if (IsSealedMode(mode))
        view_.ShowSealedRows(SealedDialogText(mode, state_.shown_subject, state_.shown_container),
                             Form2ClientHeight(mode));
}

void Form2Presenter::Command1_Click(DialogMode mode) {
    if (checking_)
        return;
    const PasswordCoding coding = CodingOf(mode);
    SealedUnlock unlock;
    // The derivation is the only time the events are pumped here.
    bool deriving = false;
    if (mode == DialogMode::kOpeningSealed && state_.sealed_header)
        unlock = PumpedUnlock(
            *state_.sealed_header,
            [this, &deriving] {
                if (!deriving) {
                    deriving = true;
                    view_.SetCaption(Text(Msg::kPreparingKey));
                    view_.SetBusy(true);
                }
                view_.PumpEvents();
            },
            [this](const std::string& cost) {
                return view_.AskYesNo(Text(Msg::kCostlyKeyQuestion, {cost}));
            });
    PasswordDecision decision;
    {
        Busy busy(checking_);
        decision = DecidePassword(tables_, mode, view_.BoxText(0, coding), view_.BoxText(1, coding),
                                  state_.StoredCheck, unlock);
    }
    if (deriving) {
        view_.SetBusy(false);
        view_.SetCaption(Text(Msg::kTypePasswordToDecode));
    }
    if (decision.declined) {
        Command2_Click();
        return;
    }
    view_.SetBoxText(0, decision.first_box, coding);
    view_.SetBoxText(1, decision.second_box, coding);
    if (!decision.accepted()) {
        state_.key.clear();
        state_.sealed_keys.reset();
        state_.sealed_password.clear();
        view_.ShowMessage(decision.message, decision.icon);
        view_.FocusBox(0);
        return;
    }
    view_.PumpEvents();
    state_.key = decision.key;
    state_.sealed_keys = decision.sealed_keys;
    state_.sealed_password = decision.sealed_password;
    view_.HideDialog();
    view_.PumpEvents();
}

void Form2Presenter::Command2_Click() {
    state_.key.clear();
    end_program_();
}

void Form2Presenter::EnterInBox(DialogMode mode, int index) {
    if (OnEnter(mode, index) == EnterInPasswordBox::kPressOk)
        Command1_Click(mode);
    else
        view_.FocusBox(1);
}

}  // namespace velmora
