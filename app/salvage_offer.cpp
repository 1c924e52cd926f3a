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

void OfferSalvage(const RunResult& decoded, const SealedHeader& header,
                  const EngineRequest& request, Run& run, const SalvageConsent& ask) {
    if (!decoded.files_damaged || header.version != kSealedVersion2 || !request.sealed_keys)
        return;
    const std::string& container = request.path;
    const std::string root =
        container.substr(0, container.size() - 4) + " " + Text(Msg::kSalvagedSuffix);
    if (!ask(Text(Msg::kSalvageQuestion, {run.files.paths().DisplayPath(root)})))
        return;

    Run salvage(run.files, run.host, run.tables, run.clock, run.cancel, request);
    const Result<Salvaged> salvaged = SalvageSealed(salvage, *request.sealed_keys);
    if (!salvaged) {
        run.host.ShowMessage(salvaged.error().message, MessageIcon::kCritical);
        return;
    }
    const std::string& restored = salvaged->restored_path;
    run.host.ShowMessage(
        SalvageOutcomeText(salvaged->files,
                           run.files.paths().DisplayPath(restored.substr(0, restored.size() - 1)),
                           salvaged->lost),
        MessageIcon::kInformation);
    if (request.options.show_restored_folder) {
        run.host.MakeWayForFolder();
        run.host.OpenFolder(restored);
        Espera(salvage, 1);
    }
}

}  // namespace velmora
