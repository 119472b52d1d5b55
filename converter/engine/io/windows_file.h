#pragma once
// What the engine's Windows file implementations share: names that work past MAX_PATH, the
// system's error texts, and new files of unique names. Windows only.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace pathshift::windows {

// The absolute, normalised name with the \\?\ prefix (\\?\UNC\ for a share), so that names longer
// than MAX_PATH work without the system's long-path opt-in. A name that has the prefix is kept.
std::wstring longPath(const std::filesystem::path& path);

// The system's text for an error code of GetLastError(), in the user's language.
std::string errorText(unsigned long code);

// "what: " followed by the text of the calling thread's last error.
std::string lastError(const char* what);

// Creates a new file in folder whose name starts with prefix, open for reading and writing, with
// the given flags and attributes of CreateFileW. Returns a C runtime descriptor owning the handle
// and sets name, or returns -1 with the system's error left in GetLastError().
int createUniqueFile(const std::filesystem::path& folder, const std::string& prefix, unsigned long flags,
                     std::filesystem::path& name);

// The system handle behind a C runtime descriptor.
void* handleOf(int fd);

// Reads up to size bytes: their count, 0 at the end (a pipe whose writer is done included), or -1
// with the system's error left in GetLastError().
long readSome(int fd, char* into, std::size_t size);

// Reads up to size bytes from offset and puts the file position back where it was, so that a scan
// in progress goes on undisturbed: as readSome.
long readSomeAt(int fd, std::size_t offset, char* into, std::size_t size);

// Goes back to the start of the file; false with the system's error left in GetLastError().
bool seekToStart(int fd);

// Writes all of text; false with the system's error left in GetLastError().
bool writeAll(int fd, std::string_view text);

}  // namespace pathshift::windows
