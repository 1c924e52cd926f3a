#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The look of the three windows as data, written once: every view (Qt on
// Linux, Win32 on Windows) builds its windows from these tables. Positions
// and sizes are pixels at 96 dots per inch inside the client area; font
// sizes are points; texts are Windows-1252.

enum class ControlKind {
    kPictureBox,   // a picture, or nothing
    kProgressBox,  // a picture box the work draws the progress bar in
    kImage,        // a picture without a window of its own
    kLabel,
    kTextBox,
    kPushButton,
    kFolderList,  // the hidden list controls of the design
    kFileList,
};

// Pictures, icons and cursors. The numbers are the resource ids of the
// Windows build.
enum class Resource : int {
    kNone = 0,
    kPadlockIcon = 1,
    kQuestionIcon = 2,
    kSmilingFace = 3,
    kLogo = 10,
    kContextMenu = 11,
    kVerticalTitle = 12,
    kColourHand = 20,
    kMonochromeHand = 21,
};

// How a picture fills its control.
enum class PictureFit {
    kNone,
    kSizedToPicture,  // the control takes the picture's size
    kStretched,       // the picture is scaled to the control
    kClipped,         // drawn from its top-left corner, cut at the control's edge
};

// The mouse pointer over a control: the system's own, or a cursor resource.
enum class Pointer { kDefault, kUpArrow, kColourHand, kMonochromeHand };

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Colour&) const = default;
};

// An empty name is the window's own default font.
struct Font {
    std::string_view name;
    double points = 0;
    bool bold = false;
};

struct ControlLayout {
    std::string_view name;
    int index = -1;  // the element of a control array; -1 for a plain control
    ControlKind kind = ControlKind::kLabel;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::string_view caption;
    Font font;
    std::optional<Colour> colour;  // text colour; a progress box's drawing colour
    std::string_view tooltip;
    Pointer pointer = Pointer::kDefault;
    int tab_index = -1;       // -1: never takes the focus
    bool is_default = false;  // Enter presses it
    bool is_cancel = false;   // Escape presses it
    bool visible = true;
    Resource picture = Resource::kNone;
    PictureFit fit = PictureFit::kNone;
    bool password = false;  // every character shown as "*"; input methods off
    int max_length = 0;     // characters a text box takes; 0: no limit
    bool word_wrap = false;
    bool link = false;  // a click opens the caption; the mouse over it underlines it
    std::string_view tag;
    // What a screen reader calls the control; empty: its caption, or else
    // its tooltip.
    std::string_view accessible_name;
    bool pressable = false;  // a picture a click presses (the help picture)
};

struct WindowLayout {
    std::string_view name;
    int client_width = 0;
    int client_height = 0;
    std::string_view caption;
    Resource icon = Resource::kNone;
    std::string_view tag;
    std::span<const ControlLayout> controls;
    std::string_view accessible_name;  // what a screen reader calls it while its caption is blank
};

// The maker's address, the caption of both link labels.
inline constexpr std::string_view kMakerAddress = "velmora.example.org";

const WindowLayout& Form1Layout();
const WindowLayout& Form2Layout();
const WindowLayout& F3Layout();

// The control of that name (and element); std::out_of_range when the
// window has none.
const ControlLayout& FindControl(const WindowLayout& window, std::string_view name, int index = -1);

// The controls that take the focus, in the order Tab visits them.
std::vector<const ControlLayout*> TabOrder(const WindowLayout& window);

// What a screen reader calls a control: its own name, or else its caption,
// or else its tooltip.
std::string_view AccessibleName(const ControlLayout& control);

// What a screen reader calls a window whose title is `title`: the title,
// unless it is blank.
std::string AccessibleName(const WindowLayout& window, const std::string& title);

// A link or a pressable picture: the keyboard reaches it with Tab, and
// Enter or Space presses it as a click does. (No other label or picture
// takes the focus.)
inline bool PressedFromKeyboard(const ControlLayout& control) {
    return control.link || control.pressable;
}

// The title a window shows for its caption. An empty caption (the idle main
// window's) is shown as a blank title: without a title, window managers put
// a name of their own in the frame ("Unnamed Window", or the program's
// name), which the design's empty caption never shows.
inline std::string ShownCaption(const std::string& caption) {
    return caption.empty() ? std::string(" ") : caption;
}

}  // namespace velmora
