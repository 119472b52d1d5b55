#pragma once
// A progress line on the error stream, redrawn in place, only when that stream is a terminal.

#include <chrono>
#include <cstdio>
#include <string>

namespace pathshift::cli {

class ProgressLine {
public:
    ProgressLine(bool wanted, std::FILE* stream);
    ~ProgressLine() { clear(); }
    void show(const std::string& text);
    void clear();

private:
    std::FILE* stream_;
    bool enabled_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace pathshift::cli
