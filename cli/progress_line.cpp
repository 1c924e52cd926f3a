#include "cli/progress_line.h"

#include <algorithm>

namespace velmora {
namespace {

constexpr int kBarCells = 20;
constexpr std::size_t kCaptionWidth = 18;

}  // namespace

int PercentDone(const WorkCount& done) {
    const double whole = static_cast<double>(done.entries_total) * kEntryBytes +
                         static_cast<double>(done.bytes_total);
    if (whole <= 0)
        return 0;
    const double part =
        static_cast<double>(done.entries) * kEntryBytes + static_cast<double>(done.bytes);
    if (part >= whole)
        return 100;
    return std::min(static_cast<int>(part * 100 / whole), 99);
}

std::string ProgressLine(const std::string& caption, const WorkCount& done) {
    const int percent = PercentDone(done);
    std::string line = caption;
    if (line.size() < kCaptionWidth)
        line.append(kCaptionWidth - line.size(), ' ');
    const auto filled = static_cast<std::size_t>(percent * kBarCells / 100);
    const std::string bar = std::string(filled, '#') + std::string(kBarCells - filled, ' ');
    std::string shown = std::to_string(percent);
    shown.insert(0, 3 - shown.size(), ' ');
    line += " [" + bar + "] " + shown + " %";
    if (done.entries_total > 0)
        line += "  " + std::to_string(done.entries) + "/" + std::to_string(done.entries_total);
    return line;
}

}  // namespace velmora
