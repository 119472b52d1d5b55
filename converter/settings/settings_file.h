#pragma once
// The program's settings file "Tarvo2Selvix.INI": ReadSetting and WriteSetting over one file, and
// FolderOf. Values are read whole; every write rewrites the file atomically, so a crash leaves
// either the old file or the new one.

#include <filesystem>
#include <string>
#include <string_view>

namespace pathshift {

inline constexpr const char* kSettingsFileName = "Tarvo2Selvix.INI";

#ifdef _WIN32
inline constexpr char kFolderSeparator = '\\';
#else
inline constexpr char kFolderSeparator = '/';
#endif

// The path up to and including its last folder separator; empty when it holds none.
std::string FolderOf(std::string_view path);

class SettingsFile {
public:
    explicit SettingsFile(std::filesystem::path path) : path_(std::move(path)) {}

    // The stored value without the blanks around it; empty when the file, section or key is
    // missing, the value is empty or it reads "END.-".
    std::string ReadSetting(std::string_view section, std::string_view key) const;
    // Stores the value, creating the file, section or key as needed. False with `error` set when
    // the file could not be written (the file is then unchanged).
    bool WriteSetting(std::string_view section, std::string_view key, std::string_view value,
                      std::string* error = nullptr) const;

    // True when the file can be read or does not exist (nothing stored yet); false with `error` set
    // when it is no regular file, too large or unreadable.
    bool CanRead(std::string& error) const;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace pathshift
