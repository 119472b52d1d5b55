#include "engine/io/output_text.h"

#include <algorithm>

namespace pathshift {

void OutputText::grow(std::size_t needed) {
    constexpr std::size_t kFirstCapacity = std::size_t{1} << 14;  // most programs are small
    // Text for a sink is handed on at kFlushSize: room for that and a long line more at once, so
    // that the buffer is not copied into one twice that size (pages not written take no memory).
    const std::size_t first = sink_ ? kFlushSize + (kFlushSize >> 4) : kFirstCapacity;
    const std::size_t size = this->size(), lineStart = static_cast<std::size_t>(lineStart_ - buffer_.get());
    const std::size_t capacity = std::max({static_cast<std::size_t>(limit_ - buffer_.get()) * 2, size + needed, first});
    std::unique_ptr<char[]> buffer(new char[capacity]);
    if (size > 0) std::memcpy(buffer.get(), buffer_.get(), size);
    buffer_ = std::move(buffer);
    end_ = buffer_.get() + size;
    lineStart_ = buffer_.get() + lineStart;
    limit_ = buffer_.get() + capacity;
    flushLast_ = sink_ ? buffer_.get() + (kFlushSize - 1) : limit_;
}

bool OutputText::flush() {
    if (!sink_ || size() == 0) return !failed_;
    if (!failed_ && !sink_->write(text())) failed_ = true;
    end_ = lineStart_ = buffer_.get();
    return !failed_;
}

}  // namespace pathshift
