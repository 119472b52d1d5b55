#pragma once
// A progress line on standard error, redrawn in place, only when standard error is a terminal.

#include <chrono>
#include <string>

namespace pathshift::cli {

class ProgressLine {
public:
    explicit ProgressLine(bool wanted);
    ~ProgressLine() { clear(); }
    void show(const std::string& text);
    void clear();

private:
    bool enabled_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace pathshift::cli
