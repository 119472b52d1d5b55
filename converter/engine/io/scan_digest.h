#pragma once
// A checksum of the bytes each scan of a source reads, so that a file that changes between or
// during the scans is caught even when its size and time stamp say otherwise.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace pathshift {

class ScanDigest {
public:
    ScanDigest();
    ~ScanDigest();
    ScanDigest(const ScanDigest&) = delete;
    ScanDigest& operator=(const ScanDigest&) = delete;

    // False when the checksum state cannot be had (no memory).
    bool ready() const { return state_ != nullptr; }
    // A scan starts: the one before it, if any, is kept for the comparison.
    void startScan();
    void add(const char* bytes, std::size_t size);
    // Whether the scan just finished read what the one before it did; false with error set otherwise.
    bool sameAsLastScan(std::string& error) const;

private:
    struct State;
    std::unique_ptr<State> state_;
    std::uint64_t lastScan_ = 0;
    int scans_ = 0;  // started
};

}  // namespace pathshift
