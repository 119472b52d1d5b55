#include "progress_line.h"

#include <cstdio>

#include "console.h"

namespace pathshift::cli {
namespace {
// Redraws closer together than this only flicker.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
}

ProgressLine::ProgressLine(bool wanted, std::FILE* stream)
    : stream_(stream), enabled_(wanted && takesRedrawCodes(stream)) {}

void ProgressLine::show(const std::string& text) {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (shown_ && now - last_ < kRedrawInterval) return;
    last_ = now;
    std::fprintf(stream_, "\r\033[K%s", text.c_str());
    std::fflush(stream_);
    shown_ = true;
}

void ProgressLine::clear() {
    if (!shown_) return;
    std::fprintf(stream_, "\r\033[K");
    std::fflush(stream_);
    shown_ = false;
}

}  // namespace pathshift::cli
