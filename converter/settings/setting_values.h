#pragma once
// Setting texts turned into the values the program uses. Numbers are read leniently (a missing or
// wordy value reads as 0); Booleans and integers strictly, so a value that does not convert leaves
// the control as it was.

#include <optional>
#include <string>
#include <string_view>

#include "engine/toolpath/machining_time.h"
#include "engine/translation/conversion.h"
#include "settings/settings_file.h"

namespace pathshift {

// The leading number of the text, 0 without one (also for a number beyond a 64-bit float).
double settingAsNumber(std::string_view text);
// "True"/"False" in any case, or a number (not zero is true); empty otherwise.
std::optional<bool> settingAsBoolean(std::string_view text);
// A number rounded half to even into an int; empty when the text is not a number or out of range.
std::optional<int> settingAsInteger(std::string_view text);

// Positions are stored as whole twips in plain decimal.
std::string twipsText(int twips);
// The skin index in the blank-prefixed form of the earlier program (" 2").
std::string skinText(int index);

// What a run takes from the settings: thickness, head, DFS and the estimate's rates as the window
// would restore them (a rate that is missing or not a usable number: the default).
struct StoredRunSettings {
    std::string thickness;
    Head head = Head::One;
    bool dfs = false;
    MachiningRates rates;
};
StoredRunSettings readRunSettings(const SettingsFile& file);
// The estimate's rates from their stored texts; a text that is not a usable number gives the default.
MachiningRates machiningRatesOf(std::string_view rapidRate, std::string_view toolChangeTime);

}  // namespace pathshift
