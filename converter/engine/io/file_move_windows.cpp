// Windows: MoveFileExW without MOVEFILE_REPLACE_EXISTING never replaces a file, and with
// MOVEFILE_COPY_ALLOWED it copies across volumes and deletes the original only after the copy.

#include <windows.h>

#include "engine/io/file_move.h"
#include "engine/io/quoted_name.h"
#include "engine/io/windows_file.h"

namespace pathshift {

namespace fs = std::filesystem;

fs::path moveIntoFolder(const fs::path& file, const fs::path& folder, std::string& error) {
    constexpr int kMaxAttempts = 10000;
    const std::wstring from = windows::longPath(file);
    for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
        const fs::path to = folder / numberedName(file.filename(), attempt);
        if (MoveFileExW(from.c_str(), windows::longPath(to).c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
            return to;
        const DWORD code = GetLastError();
        if (code != ERROR_ALREADY_EXISTS && code != ERROR_FILE_EXISTS) {
            error = "cannot move " + quotedName(file) + " into " + quotedName(folder) + ": " + windows::errorText(code);
            return {};
        }
    }
    error = "cannot move " + quotedName(file) + " into " + quotedName(folder) + ": no free name";
    return {};
}

}  // namespace pathshift
