#include "settings/settings_file.h"

#include "engine/io/atomic_file.h"
#include "engine/io/quoted_name.h"
#include "engine/io/text_source.h"
#include "settings/profile_text.h"

namespace pathshift {
namespace {

// A settings file holds a few dozen lines. Values are read whole however long, so a long one is
// still read, but a file of more than a few MB is no settings file, and reading a link to an
// endless device must stop somewhere.
constexpr std::size_t kMaxSettingsFileBytes = std::size_t{4} << 20;

// What the earlier program's lookups returned for a missing key; a stored "END.-" reads as empty too.
constexpr std::string_view kMissingMark = "END.-";

bool fail(std::string* error, std::string reason) {
    if (error) *error = std::move(reason);
    return false;
}

bool readSettingsText(const std::filesystem::path& path, std::string& text, std::string& error) {
    return readWholeFile(path, text, error, "a settings file", kMaxSettingsFileBytes);
}

}  // namespace

bool SettingsFile::CanRead(std::string& error) const {
    std::error_code ec;
    std::string text;
    return !std::filesystem::exists(path_, ec) || readSettingsText(path_, text, error);
}

std::string FolderOf(std::string_view path) {
    const std::size_t last = path.rfind(kFolderSeparator);
    if (last == std::string_view::npos) return {};
    return std::string(path.substr(0, last + 1));
}

std::string SettingsFile::ReadSetting(std::string_view section, std::string_view key) const {
    std::string text;
    std::string readError;
    if (!readSettingsText(path_, text, readError)) return {};
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
    if (exists && !readSettingsText(path_, text, readError))
        return fail(error, quotedName(path_) + ": " + readError);
    AtomicFile file(path_);
    if (!file.open() || !file.write(profile::storeValue(text, section, key, value)) || !file.commit())
        return fail(error, file.error());
    return true;
}

}  // namespace pathshift
