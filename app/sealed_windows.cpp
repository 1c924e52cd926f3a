#include "app/sealed_windows.h"

#include "app/window_layouts.h"
#include "base/messages.h"

namespace velmora {
namespace {

std::string WithoutSeparator(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    return path;
}

// The last part of a shown path (a marked character's UTF-8 bytes are
// never a separator).
std::string ShownName(const std::string& path) {
    const std::string whole = WithoutSeparator(path);
    const std::size_t separator = whole.find_last_of("/\\");
    return separator == std::string::npos ? whole : whole.substr(separator + 1);
}

}  // namespace

SealedDialogRows SealedDialogText(DialogMode mode, const std::string& shown_path,
                                  const std::string& shown_container) {
    const std::string name = ShownName(shown_path);
    if (mode == DialogMode::kSealing)
        return {shown_container.empty()
                    ? Text(Msg::kSealingDialogWhat, {name, name + ".zol"})
                    : Text(Msg::kSealingDialogWhatElsewhere, {name, shown_container}),
                Text(Msg::kSealingDialogRule, {std::to_string(kShortestSealedPassword)})};
    // A container's name ends in ".zol", in any case.
    const std::string folder = name.size() > 4 ? name.substr(0, name.size() - 4) : name;
    return {Text(Msg::kOpeningDialogWhat, {name, folder}), Text(Msg::kOpeningDialogRule)};
}

int Form2ClientHeight(DialogMode mode) {
    const WindowLayout& layout = Form2Layout();
    if (!IsSealedMode(mode))
        return layout.client_height;
    const ControlLayout& lower = FindControl(layout, "Label5");
    // The gap the table leaves between the link and the window's bottom.
    const ControlLayout& link = FindControl(layout, "Label3");
    return lower.top + lower.height + layout.client_height - (link.top + link.height);
}

void ShowSealedMoment(SealedJobView& view, SealedMoment moment, const std::string& shown_path) {
    switch (moment) {
        case SealedMoment::kDerivingKey:
            view.SetCaption(Text(Msg::kPreparingKey));
            view.SetBusy(true);
            return;
        case SealedMoment::kKeyReady:
            view.SetCaption(Text(Msg::kEncodingCaption));
            view.SetBusy(false);
            return;
        case SealedMoment::kSealed:
            view.Notify(Text(Msg::kSealedNotice, {WithoutSeparator(shown_path)}));
            return;
        case SealedMoment::kRestored:
            view.Notify(Text(Msg::kRestoredNotice, {WithoutSeparator(shown_path)}));
            return;
    }
}

}  // namespace velmora
