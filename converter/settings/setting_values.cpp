#include "settings/setting_values.h"

#include <cctype>
#include <cmath>
#include <limits>

#include "engine/reading/number_text.h"
#include "settings/profile_text.h"
#include "settings/setting_keys.h"

namespace pathshift {
namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string read(const SettingsFile& file, SettingKey id) {
    const SettingKeyInfo& info = settingKeyInfo(id);
    return file.ReadSetting(info.section, info.key);
}

}  // namespace

double settingAsNumber(std::string_view text) {
    const NumberRead number = readLeadingNumber(profile::trimBlanks(text));
    return number.overflow ? 0.0 : number.value;
}

std::optional<bool> settingAsBoolean(std::string_view text) {
    text = profile::trimBlanks(text);
    if (equalsIgnoringCase(text, "true")) return true;
    if (equalsIgnoringCase(text, "false")) return false;
    std::optional<double> number = readStrictNumber(text);
    if (!number) return std::nullopt;
    return *number != 0.0;
}

std::optional<int> settingAsInteger(std::string_view text) {
    std::optional<double> number = readStrictNumber(profile::trimBlanks(text));
    if (!number) return std::nullopt;
    const double rounded = std::nearbyint(*number);  // the default rounding mode: half to even
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(rounded);
}

std::string twipsText(int twips) { return std::to_string(twips); }

std::string skinText(int index) {
    std::string text = index >= 0 ? std::string(1, ' ') : std::string();
    text.append(std::to_string(index));
    return text;
}

StoredRunSettings readRunSettings(const SettingsFile& file) {
    StoredRunSettings run;
    run.thickness = read(file, SettingKey::Thickness);
    if (std::optional<bool> head1 = settingAsBoolean(read(file, SettingKey::Head1)))
        run.head = *head1 ? Head::One : Head::Two;
    run.dfs = settingAsInteger(read(file, SettingKey::Dfs)) == 1;
    run.rates = machiningRatesOf(read(file, SettingKey::RapidRate), read(file, SettingKey::ToolChangeTime));
    return run;
}

MachiningRates machiningRatesOf(std::string_view rapidRate, std::string_view toolChangeTime) {
    MachiningRates rates;
    if (std::optional<double> rate = rapidRateValue(profile::trimBlanks(rapidRate))) rates.rapidRate = *rate;
    if (std::optional<double> time = toolChangeTimeValue(profile::trimBlanks(toolChangeTime)))
        rates.toolChangeTime = *time;
    return rates;
}

}  // namespace pathshift
