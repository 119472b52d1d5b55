#include "engine/io/scan_digest.h"

#include <new>

#include <xxhash.h>
#if defined(PATHSHIFT_XXH3_DISPATCH)
#include <xxh_x86dispatch.h>  // XXH3_64bits_update: the widest vector code the processor runs
#endif

#include "engine/io/text_source.h"

namespace pathshift {

struct ScanDigest::State {
    XXH3_state_t* xxh = nullptr;
    ~State() { XXH3_freeState(xxh); }
};

ScanDigest::ScanDigest() : state_(new (std::nothrow) State) {
    if (state_ && ((state_->xxh = XXH3_createState()) == nullptr || XXH3_64bits_reset(state_->xxh) != XXH_OK))
        state_.reset();
}

ScanDigest::~ScanDigest() = default;

void ScanDigest::startScan() {
    if (scans_ > 0) lastScan_ = XXH3_64bits_digest(state_->xxh);
    ++scans_;
    XXH3_64bits_reset(state_->xxh);
}

void ScanDigest::add(const char* bytes, std::size_t size) { XXH3_64bits_update(state_->xxh, bytes, size); }

bool ScanDigest::sameAsLastScan(std::string& error) const {
    if (scans_ < 2 || XXH3_64bits_digest(state_->xxh) == lastScan_) return true;
    error = kSourceChanged;
    return false;
}

}  // namespace pathshift
