#pragma once
// Where the line scanner reads a program from when it is not held in memory: a file read in pieces
// from its start at every scan, so that a program of any size needs only a small buffer.

#include <cstddef>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>

#include "engine/io/scan_digest.h"

namespace pathshift {

class TextSource {
public:
    // Goes back to the start; false with error set when that fails.
    virtual bool rewind(std::string& error) = 0;
    // Reads up to size bytes; 0 at the end, negative with error set on failure.
    virtual long read(char* into, std::size_t size, std::string& error) = 0;
    // The size expected, for progress.
    virtual std::size_t size() const = 0;
    // Whether the scan just finished read the same bytes as the one before it; false with error set
    // otherwise. A source nobody else can change has nothing to compare.
    virtual bool sameAsLastScan(std::string&) { return true; }
    // Reads up to size bytes from `offset` without disturbing a scan, for a line looked up later;
    // 0 at the end, negative with error set on failure or when the file is no longer the one scanned.
    virtual long readAt(std::size_t, char*, std::size_t, std::string& error) {
        error = "cannot be read again";
        return -1;
    }

protected:
    ~TextSource() = default;
};

// Opens a file for reading without waiting on it (a FIFO without a writer would block forever) and
// refuses anything but a regular file; `what` names what the file should be ("a tool table").
// Returns the descriptor (the C runtime's on Windows), or -1 with `error` set.
int openRegularFile(const std::filesystem::path& path, std::string_view what, std::string& error);

#ifndef _WIN32
// pread(2), tried again when a signal interrupts it; the descriptor's position stays where it is.
long readAtOffset(int fd, std::size_t offset, char* into, std::size_t size, std::string& error);
#endif

// Reads a whole regular file of at most `maxBytes`; false with `error` set when it cannot be read.
bool readWholeFile(const std::filesystem::path& path, std::string& text, std::string& error,
                   std::string_view what = "a program",
                   std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

class SourceFile final : public TextSource {
public:
    SourceFile() = default;
    ~SourceFile();
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    // Opens a regular file; false with error set otherwise.
    bool open(const std::filesystem::path& path, std::string& error, std::string_view what = "a program");
    // Every scan must see the same file: one that changed since it was opened is refused.
    bool rewind(std::string& error) override;
    long read(char* into, std::size_t size, std::string& error) override;
    std::size_t size() const override { return size_; }
    // Compares checksums of what the scans read, so that a change during a scan is caught too.
    bool sameAsLastScan(std::string& error) override;
    // Refused with kSourceChanged once the file changed since it was opened.
    long readAt(std::size_t offset, char* into, std::size_t size, std::string& error) override;

private:
    int fd_ = -1;
    std::size_t size_ = 0;
    long long modified_ = 0;  // nanoseconds
    ScanDigest digest_;  // of the bytes read since the last rewind
};

// What a source that changed between or during its scans fails with.
inline constexpr std::string_view kSourceChanged = "the file changed while it was being converted";

}  // namespace pathshift
