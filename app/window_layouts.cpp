#include "app/window_layouts.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "app/password_decision.h"
#include "base/messages.h"

namespace velmora {
namespace {

constexpr Colour kBlue{0, 0, 255};

// The tables are built at start-up: their texts are the messages file's.
const ControlLayout kForm1Controls[] = {
    {.name = "Picture1",
     .kind = ControlKind::kPictureBox,
     .left = 24,
     .top = 0,
     .width = 201,
     .height = 94,
     .tab_index = 9,
     .picture = Resource::kLogo,
     .fit = PictureFit::kSizedToPicture,
     .accessible_name = FixedText(Msg::kLogoName)},
    {.name = "P1",
     .kind = ControlKind::kProgressBox,
     .left = 8,
     .top = 104,
     .width = 241,
     .height = 17,
     .colour = kBlue,
     .tab_index = 3,
     .tag = "0",
     .accessible_name = FixedText(Msg::kProgressName)},
    {.name = "Command1",
     .kind = ControlKind::kPushButton,
     .left = 88,
     .top = 128,
     .width = 81,
     .height = 33,
     .caption = FixedText(Msg::kCancelar),
     .font = {"Comic Sans MS", 11.25},
     .tab_index = 0,
     .is_cancel = true},
    {.name = "Label3",
     .kind = ControlKind::kLabel,
     .left = 16,
     .top = 168,
     .width = 220,
     .height = 26,
     .caption = kMakerAddress,
     .font = {"Comic Sans MS", 14.25},
     .colour = kBlue,
     .tooltip = FixedText(Msg::kMorePrograms),
     .pointer = Pointer::kUpArrow,
     .tab_index = 8,
     .link = true},
    // Outside the client area and never shown.
    {.name = "Dir1",
     .kind = ControlKind::kFolderList,
     .left = 264,
     .top = 232,
     .width = 81,
     .height = 51,
     .tab_index = 1,
     .visible = false},
    {.name = "File1",
     .kind = ControlKind::kFileList,
     .left = 352,
     .top = 240,
     .width = 81,
     .height = 32,
     .tab_index = 2,
     .visible = false},
};

const ControlLayout kForm2Controls[] = {
    {.name = "Image1",
     .kind = ControlKind::kImage,
     .left = 0,
     .top = 0,
     .width = 53,
     .height = 127,
     .tooltip = FixedText(Msg::kVelmoraHelp),
     .pointer = Pointer::kMonochromeHand,
     .tab_index = 5,
     .picture = Resource::kVerticalTitle,
     .fit = PictureFit::kStretched,
     .pressable = true},
    {.name = "Text1",
     .index = 0,
     .kind = ControlKind::kTextBox,
     .left = 64,
     .top = 16,
     .width = 177,
     .height = 33,
     .font = {"MS Sans Serif", 18},
     .tab_index = 0,
     .password = true,
     .max_length = kFirstBoxLimit,
     .accessible_name = FixedText(Msg::kPasswordBoxName)},
    {.name = "Text1",
     .index = 1,
     .kind = ControlKind::kTextBox,
     .left = 64,
     .top = 56,
     .width = 177,
     .height = 33,
     .font = {"MS Sans Serif", 18},
     .tab_index = 1,
     .password = true,
     .accessible_name = FixedText(Msg::kRepeatBoxName)},
    // Not the default button: Enter belongs to the password boxes.
    {.name = "Command1",
     .kind = ControlKind::kPushButton,
     .left = 64,
     .top = 96,
     .width = 81,
     .height = 33,
     .caption = FixedText(Msg::kOk),
     .font = {"MS Sans Serif", 12},
     .tab_index = 2},
    {.name = "Command2",
     .kind = ControlKind::kPushButton,
     .left = 160,
     .top = 96,
     .width = 81,
     .height = 33,
     .caption = FixedText(Msg::kCancelar),
     .font = {"MS Sans Serif", 12},
     .tab_index = 3,
     .is_cancel = true},
    {.name = "Label3",
     .kind = ControlKind::kLabel,
     .left = 35,
     .top = 144,
     .width = 185,
     .height = 21,
     .caption = kMakerAddress,
     .font = {"Times New Roman", 14.25},
     .colour = kBlue,
     .tooltip = FixedText(Msg::kMoreMorePrograms),
     .pointer = Pointer::kColourHand,
     .tab_index = 4,
     .link = true},
    // Shown only for the sealed kind, below the rest, in a taller dialog:
    // what will happen, and the password's rule (sealed_dialog.h).
    {.name = "Label4",
     .kind = ControlKind::kLabel,
     .left = 8,
     .top = 172,
     .width = 239,
     .height = 56,
     .font = {"MS Sans Serif", 8.25},
     .visible = false,
     .word_wrap = true},
    {.name = "Label5",
     .kind = ControlKind::kLabel,
     .left = 8,
     .top = 230,
     .width = 239,
     .height = 42,
     .font = {"MS Sans Serif", 8.25},
     .visible = false,
     .word_wrap = true},
};

const ControlLayout kF3Controls[] = {
    {.name = "Picture2",
     .kind = ControlKind::kPictureBox,
     .left = 16,
     .top = 8,
     .width = 191,
     .height = 168,
     .tab_index = 1,
     .picture = Resource::kContextMenu,
     .fit = PictureFit::kClipped,
     .accessible_name = FixedText(Msg::kFolderMenuPictureName)},
    {.name = "Picture1",
     .kind = ControlKind::kPictureBox,
     .left = 224,
     .top = 32,
     .width = 201,
     .height = 94,
     .tab_index = 0,
     .picture = Resource::kLogo,
     .fit = PictureFit::kSizedToPicture,
     .accessible_name = FixedText(Msg::kLogoName)},
    {.name = "Label1",
     .kind = ControlKind::kLabel,
     .left = 64,
     .top = 192,
     .width = 369,
     .height = 65,
     .caption = FixedText(Msg::kInstructions),
     .font = {"Comic Sans MS", 12},
     .colour = Colour{192, 64, 0},
     .tab_index = 2,
     .word_wrap = true},
    {.name = "Image1",
     .kind = ControlKind::kImage,
     .left = 16,
     .top = 208,
     .width = 35,
     .height = 35,
     .picture = Resource::kSmilingFace,
     .fit = PictureFit::kStretched,
     .accessible_name = FixedText(Msg::kSmilingFaceName)},
    {.name = "Command1",
     .kind = ControlKind::kPushButton,
     .left = 128,
     .top = 264,
     .width = 185,
     .height = 49,
     .caption = FixedText(Msg::kAceptarButton),
     .font = {"Comic Sans MS", 15.75, true},
     .tab_index = 3,
     .is_default = true,
     .is_cancel = true},
};

}  // namespace

const WindowLayout& Form1Layout() {
    static const WindowLayout layout{.name = "Form1",
                                     .client_width = 256,
                                     .client_height = 197,
                                     .caption = "",
                                     .icon = Resource::kPadlockIcon,
                                     .controls = kForm1Controls,
                                     .accessible_name = FixedText(Msg::kMainWindowName)};
    return layout;
}

const WindowLayout& Form2Layout() {
    static const WindowLayout layout{.name = "Form2",
                                     .client_width = 255,
                                     .client_height = 173,
                                     .caption = FixedText(Msg::kTypePasswordToEncode),
                                     .icon = Resource::kPadlockIcon,
                                     .tag = "1",
                                     .controls = kForm2Controls};
    return layout;
}

const WindowLayout& F3Layout() {
    static const WindowLayout layout{.name = "F3",
                                     .client_width = 442,
                                     .client_height = 325,
                                     .caption = "Velmora 2.0",
                                     .icon = Resource::kQuestionIcon,
                                     .controls = kF3Controls};
    return layout;
}

const ControlLayout& FindControl(const WindowLayout& window, std::string_view name, int index) {
    for (const ControlLayout& control : window.controls)
        if (control.name == name && control.index == index)
            return control;
    throw std::out_of_range(std::string(window.name) + " has no control " + std::string(name));
}

std::string_view AccessibleName(const ControlLayout& control) {
    if (!control.accessible_name.empty())
        return control.accessible_name;
    return control.caption.empty() ? control.tooltip : control.caption;
}

std::string AccessibleName(const WindowLayout& window, const std::string& title) {
    if (title.find_first_not_of(' ') == std::string::npos)
        return std::string(window.accessible_name);
    return title;
}

std::vector<const ControlLayout*> TabOrder(const WindowLayout& window) {
    std::vector<const ControlLayout*> order;
    for (const ControlLayout& control : window.controls)
        if (control.tab_index >= 0)
            order.push_back(&control);
    std::stable_sort(
        order.begin(), order.end(),
        [](const ControlLayout* a, const ControlLayout* b) { return a->tab_index < b->tab_index; });
    return order;
}

}  // namespace velmora
