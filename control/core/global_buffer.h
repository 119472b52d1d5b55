// A movable, zero-filled global memory block held locked for one dialog run.
#pragma once
#include <windows.h>

#include <utility>

namespace qz {

class GlobalBuffer {
public:
  explicit GlobalBuffer(size_t size) : handle_(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size)) {
    if (handle_) data_ = static_cast<char*>(GlobalLock(handle_));
  }
  GlobalBuffer(const GlobalBuffer&) = delete;
  GlobalBuffer& operator=(const GlobalBuffer&) = delete;
  ~GlobalBuffer() {
    if (HGLOBAL handle = Release()) GlobalFree(handle);
  }
  explicit operator bool() const { return data_ != nullptr; }
  char* data() const { return data_; }
  // Unlocks and hands the block over; the caller frees it.
  HGLOBAL Release() {
    if (data_) GlobalUnlock(handle_);
    data_ = nullptr;
    return std::exchange(handle_, nullptr);
  }

private:
  HGLOBAL handle_;
  char* data_ = nullptr;
};

}  // namespace qz
