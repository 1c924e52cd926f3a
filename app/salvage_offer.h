#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "container/run.h"
#include "container/sealed/sealed_header.h"

namespace velmora {

// Asked before a salvage, given the question (Windows-1252): true for "Sí".
using SalvageConsent = std::function<bool(const std::string& question)>;

// The most lost files a salvage's message names; the rest are counted.
inline constexpr std::size_t kLostFilesShown = 10;

// After the windows' decode of a sealed container has ended (its message
// shown), given its request and how it ended: when it was refused for
// damage its parity cannot rebuild in the files' chunks, and the container
// is of version 2, `ask` is asked whether to salvage. "Sí" restores every
// intact file into "NAME (rescatado)" beside the container (SalvageSealed)
// with the request's keys (no other password, no other derivation), through
// the disk, windows, tables, clock and cancel token of `run`, never touching
// the container, then tells how many files came back and which were lost,
// and opens the folder. "No", or any other decode: nothing.
void OfferSalvage(const RunResult& decoded, const SealedHeader& header,
                  const EngineRequest& request, Run& run, const SalvageConsent& ask);

// The message after a salvage: the files rescued into the folder `shown`,
// then the lost ones (paths as the index writes them, UTF-8), at most
// kLostFilesShown of them named and the rest counted.
std::string SalvageOutcomeText(std::size_t rescued, const std::string& shown,
                               const std::vector<std::string>& lost);

}  // namespace velmora
