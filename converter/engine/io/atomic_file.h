#pragma once
// Writing a file so that readers see either the old file or the whole new one, whatever happens to
// the process: the text goes into a file without a name in the target's folder, which is flushed
// to disk and only then given the target's name. Where the folder's filesystem has no unnamed
// files, a hidden temporary beside the target is used instead and removed when the process is
// ended by a signal it can catch.
//
// An existing target that is write-protected is not replaced: its owner protected it on purpose.
//
// The system calls live in atomic_file.cpp alone, so another platform can put its own behind this.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/io/output_text.h"
#include "engine/io/quoted_name.h"

namespace pathshift {

// The message a write-protected target fails with.
inline constexpr std::string_view kReadOnlyTarget = "the existing output is read-only; not replaced";

class AtomicFile final : public OutputSink {
public:
    explicit AtomicFile(std::filesystem::path target);
    ~AtomicFile();  // discards the new text unless commit() succeeded
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the file to write; false with error() set when the folder does not take it or the
    // target is read-only.
    bool open();
    bool write(std::string_view text) override;
    // Flushes and closes the new file and gives it the target's name.
    bool commit();
    void discard();
    // Says what failed and names the file.
    const std::string& error() const { return error_; }

private:
    bool failWith(const std::string& what);
    // Each platform's own test of the target's write protection.
    bool targetWriteProtected() const;
    // False, with the refusal as the error, when the existing target is write-protected.
    bool targetReplaceable() {
        if (!targetWriteProtected()) return true;
        error_ = std::string(kReadOnlyTarget) + " (" + quotedName(target_) + ")";
        return false;
    }
    bool nameUnnamed();
    // Hands what was written since the last call to the disk, once it is a stretch worth the call.
    void startWriteback();

    std::filesystem::path target_;
    std::string temporary_;  // the named temporary, while one exists
    int cleanupSlot_ = -1;   // where the signal handler finds it
    int fd_ = -1;
    bool unnamed_ = false;
    std::uint64_t written_ = 0;
    std::uint64_t handedToDisk_ = 0;
    std::string error_;
};

}  // namespace pathshift
