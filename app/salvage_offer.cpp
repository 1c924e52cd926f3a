#include "app/salvage_offer.h"

#include "base/messages.h"
#include "base/utf8.h"
#include "container/sealed_salvage.h"

namespace velmora {

std::string SalvageOutcomeText(std::size_t rescued, const std::string& shown,
                               const std::vector<std::string>& lost) {
    std::string text = Text(Msg::kSalvageRescued, {std::to_string(rescued), shown});
    if (lost.empty())
        return text;
    text += "\n\n" + Text(Msg::kSalvageLostFiles, {std::to_string(lost.size())});
    for (std::size_t i = 0; i < lost.size() && i < kLostFilesShown; ++i)
        text += "\n" + ShownUtf8(lost[i]);
    if (lost.size() > kLostFilesShown)
        text += "\n" + Text(Msg::kSalvageMoreLost, {std::to_string(lost.size() - kLostFilesShown)});
    return text;
}

void OfferSalvage(const RunResult& decoded, const SealedHeader& header, Run& run,
                  const SalvageConsent& ask) {
    const EngineState& state = run.state;
    if (!decoded.files_damaged || header.version != kSealedVersion2 || !state.sealed_keys)
        return;
    const std::string& container = state.FolderPath;
    const std::string root =
        container.substr(0, container.size() - 4) + " " + Text(Msg::kSalvagedSuffix);
    if (!ask(Text(Msg::kSalvageQuestion, {run.files.paths().DisplayPath(root)})))
        return;

    EngineOptions options = run.options;
    options.keep_container = true;
    Run salvage(run.files, run.host, run.tables, run.clock, options, run.cancel,
                {.path = container, .sealed_keys = state.sealed_keys});
    std::vector<std::string> lost;
    std::size_t rescued = 0;
    const Status salvaged = SalvageSealed(salvage, *state.sealed_keys, lost, &rescued);
    if (!salvaged) {
        run.host.ShowMessage(salvaged.error().message, MessageIcon::kCritical);
        return;
    }
    const std::string& restored = salvage.state.RestoredPath;
    run.host.ShowMessage(
        SalvageOutcomeText(rescued, run.files.paths().DisplayPath(restored.substr(0, restored.size() - 1)),
                           lost),
        MessageIcon::kInformation);
    if (options.show_restored_folder) {
        run.host.HideMainWindow();
        run.host.OpenFolder(restored);
        Espera(salvage, 1);
    }
}

}  // namespace velmora
