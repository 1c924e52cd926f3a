#include "ui/win32/program_resources.h"

#include "ui/win32/resource_ids.h"

namespace velmora {

static_assert(static_cast<int>(Resource::kPadlockIcon) == RES_PADLOCK);
static_assert(static_cast<int>(Resource::kQuestionIcon) == RES_QUESTION);
static_assert(static_cast<int>(Resource::kSmilingFace) == RES_SMILE);
static_assert(static_cast<int>(Resource::kLogo) == RES_LOGO);
static_assert(static_cast<int>(Resource::kContextMenu) == RES_MENU);
static_assert(static_cast<int>(Resource::kVerticalTitle) == RES_TITLE);
static_assert(static_cast<int>(Resource::kColourHand) == RES_HAND_COLOR);
static_assert(static_cast<int>(Resource::kMonochromeHand) == RES_HAND_MONO);

HINSTANCE Program() {
    return GetModuleHandleW(nullptr);
}

HICON LoadIconSized(Resource icon, int size) {
    return static_cast<HICON>(LoadImageW(Program(), MAKEINTRESOURCEW(static_cast<int>(icon)),
                                         IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

bool IsIcon(Resource picture) {
    return picture == Resource::kPadlockIcon || picture == Resource::kQuestionIcon ||
           picture == Resource::kSmilingFace;
}

HCURSOR PointerCursor(Pointer pointer) {
    switch (pointer) {
        case Pointer::kUpArrow:
            return LoadCursorW(nullptr, IDC_UPARROW);
        case Pointer::kColourHand:
            return LoadCursorW(Program(), MAKEINTRESOURCEW(RES_HAND_COLOR));
        case Pointer::kMonochromeHand:
            return LoadCursorW(Program(), MAKEINTRESOURCEW(RES_HAND_MONO));
        case Pointer::kDefault:
            break;
    }
    return nullptr;
}

}  // namespace velmora
