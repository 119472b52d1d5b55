#include "engine/io/file_move.h"

#include <string>

namespace pathshift {

std::filesystem::path numberedName(const std::filesystem::path& name, int attempt) {
    if (attempt <= 1) return name;
    // "part.tar.nc" becomes "part.tar-2.nc"; a hidden-style ".nc" has no stem to number, so the
    // number goes at its end.
    std::filesystem::path numbered = name.stem();
    numbered += "-";  // appended apart: GCC 12 warns falsely about "-" + std::string
    numbered += std::to_string(attempt);
    numbered += name.extension();
    return numbered;
}

}  // namespace pathshift
