#include "settings/settings_file.h"

#include "engine/atomic_file.h"
#include "engine/text_source.h"
#include "settings/profile_text.h"

namespace pathshift {
namespace {

// What the earlier program's lookups returned for a missing key; a stored "END.-" reads as empty too.
constexpr std::string_view kMissingMark = "END.-";

bool fail(std::string* error, std::string reason) {
    if (error) *error = std::move(reason);
    return false;
}

}  // namespace

std::string FolderOf(std::string_view path) {
    const std::size_t last = path.rfind(kFolderSeparator);
    if (last == std::string_view::npos) return {};
    return std::string(path.substr(0, last + 1));
}

std::string SettingsFile::ReadSetting(std::string_view section, std::string_view key) const {
    std::string text;
    std::string readError;
    if (!readWholeFile(path_, text, readError)) return {};
    std::optional<std::string> value = profile::findValue(text, section, key);
    if (!value || *value == kMissingMark) return {};
    return std::string(profile::trimBlanks(*value));
}

bool SettingsFile::WriteSetting(std::string_view section, std::string_view key, std::string_view value,
                                std::string* error) const {
    // A line break would end the entry early and turn the rest into a line of its own.
    if (value.find_first_of("\r\n") != std::string_view::npos)
        return fail(error, "the value for " + std::string(key) + " holds a line break");
    std::string text;
    std::string readError;
    std::error_code ec;
    const bool exists = std::filesystem::exists(path_, ec);
    if (exists && !readWholeFile(path_, text, readError))
        return fail(error, path_.string() + ": " + readError);
    // The rename below would replace a read-only file; the operator marked it so on purpose.
    namespace fs = std::filesystem;
    const fs::perms writeBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if (exists && (fs::status(path_, ec).permissions() & writeBits) == fs::perms::none)
        return fail(error, path_.string() + ": the file is read-only");
    AtomicFile file(path_);
    if (!file.open() || !file.write(profile::storeValue(text, section, key, value)) || !file.commit())
        return fail(error, path_.string() + ": " + file.error());
    return true;
}

}  // namespace pathshift
