// Linux: renameat2 with RENAME_NOREPLACE, so a name taken between looking and moving is never
// replaced; where the filesystem lacks it, a hard link does the same job.

#include "engine/io/file_move.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/io/atomic_file.h"
#include "engine/io/quoted_name.h"
#include "engine/io/text_source.h"

namespace pathshift {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxAttempts = 10000;

// 0 when moved, else the errno of the failure (EEXIST: the name is taken).
int moveWithoutReplacing(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    if (::link(from.c_str(), to.c_str()) != 0) return errno;
    if (::unlink(from.c_str()) != 0) {
        const int reason = errno;
        ::unlink(to.c_str());
        return reason;
    }
    return 0;
}

// Tries the numbered names in turn; the path taken, or empty with `reason` set.
fs::path moveToFreeName(const fs::path& from, const fs::path& folder, const fs::path& name, int& reason) {
    for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
        const fs::path to = folder / numberedName(name, attempt);
        reason = moveWithoutReplacing(from, to);
        if (reason == 0) return to;
        if (reason != EEXIST) return {};
    }
    reason = EEXIST;
    return {};
}

// A complete, flushed copy under a hidden name in the folder, on the folder's own filesystem.
bool copyInto(const fs::path& file, const fs::path& copy, std::string& error) {
    SourceFile source;
    if (!source.open(file, error, "a program")) return false;
    AtomicFile target(copy);
    if (!target.open()) {
        error = target.error();
        return false;
    }
    char buffer[1 << 16];
    for (;;) {
        const long got = source.read(buffer, sizeof buffer, error);
        if (got < 0) return false;
        if (got == 0) break;
        if (!target.write(std::string_view(buffer, static_cast<std::size_t>(got)))) {
            error = target.error();
            return false;
        }
    }
    if (!target.commit()) {
        error = target.error();
        return false;
    }
    return true;
}

}  // namespace

fs::path moveIntoFolder(const fs::path& file, const fs::path& folder, std::string& error) {
    int reason = 0;
    fs::path moved = moveToFreeName(file, folder, file.filename(), reason);
    if (!moved.empty()) return moved;
    if (reason != EXDEV) {
        error = "cannot move " + quotedName(file) + " into " + quotedName(folder) + ": " + std::strerror(reason);
        return {};
    }
    // Built by appending: GCC 12 warns falsely about "." + std::string.
    std::string hidden(1, '.');
    hidden.append(file.filename().string()).append(".moving-").append(std::to_string(::getpid()));
    const fs::path copy = folder / hidden;
    if (!copyInto(file, copy, error)) {
        error = "cannot copy " + quotedName(file) + " into " + quotedName(folder) + ": " + error;
        return {};
    }
    moved = moveToFreeName(copy, folder, file.filename(), reason);
    if (moved.empty()) {
        ::unlink(copy.c_str());
        error = "cannot move " + quotedName(file) + " into " + quotedName(folder) + ": " + std::strerror(reason);
        return {};
    }
    // Removed only now that the whole copy has its name: whatever stops us, the file exists.
    if (::unlink(file.c_str()) != 0) {
        error = "copied " + quotedName(file) + " to " + quotedName(moved) + " but cannot remove it: " +
                std::strerror(errno);
        return {};
    }
    return moved;
}

}  // namespace pathshift
