#include "engine/io/float_table.h"

#include <algorithm>
#include <string_view>

#include "engine/io/scratch_file.h"

namespace pathshift {

FloatTable::FloatTable(std::size_t inMemory, std::size_t block) : inMemory_(inMemory), block_(std::max<std::size_t>(block, 1)) {}

FloatTable::~FloatTable() = default;

void FloatTable::clear() {
    size_ = 0;
    held_.clear();
    file_.reset();
    spilled_ = 0;
    pending_.clear();
    window_.clear();
    windowStart_ = 0;
    error_.clear();
}

void FloatTable::append(float value) {
    ++size_;
    if (held_.size() < inMemory_) {
        if (held_.empty()) held_.reserve(inMemory_);
        held_.push_back(value);
        return;
    }
    pending_.push_back(value);
    if (pending_.size() >= block_) spill();
}

void FloatTable::spill() {
    if (error_.empty()) {
        if (!file_) {
            file_ = std::make_unique<ScratchFile>();
            if (!file_->open()) error_ = file_->error();
        }
        const std::string_view bytes(reinterpret_cast<const char*>(pending_.data()), pending_.size() * sizeof(float));
        if (error_.empty() && !file_->write(bytes)) error_ = file_->error();
        if (error_.empty()) spilled_ += pending_.size();
    }
    pending_.clear();
}

float FloatTable::beyondMemory(std::size_t k) const {
    const std::size_t written = inMemory_ + spilled_;
    if (k >= written) return k - written < pending_.size() ? pending_[k - written] : 0.0f;
    if (k < windowStart_ || k - windowStart_ >= window_.size()) load(k);
    return k - windowStart_ < window_.size() ? window_[k - windowStart_] : 0.0f;
}

void FloatTable::load(std::size_t k) const {
    windowStart_ = k;
    window_.resize(std::min(block_, inMemory_ + spilled_ - k));
    char* into = reinterpret_cast<char*>(window_.data());
    std::size_t offset = (k - inMemory_) * sizeof(float);
    std::size_t left = window_.size() * sizeof(float);
    while (left > 0) {
        std::string reason;
        const long got = file_->readAt(offset, into, left, reason);
        if (got <= 0) {
            if (error_.empty()) error_ = got < 0 ? reason : "a temporary file ended early";
            window_.clear();
            return;
        }
        into += got;
        offset += static_cast<std::size_t>(got);
        left -= static_cast<std::size_t>(got);
    }
}

}  // namespace pathshift
