#pragma once
// Every key of the settings file, with its section and the value a missing key stands for.

#include <array>
#include <string_view>

namespace pathshift {

enum class SettingKey {
    SourcePath,
    DestinationPath,
    Thickness,
    Head1,
    Dfs,
    Skin,
    WindowTop,
    WindowLeft,
    DirTop,
    DirLeft,
    DirLastDir,
    RapidRate,
    ToolChangeTime,
};

struct SettingKeyInfo {
    SettingKey id;
    std::string_view section;
    std::string_view key;
    std::string_view fallback;  // what the program uses when the key is missing
};

inline constexpr std::array<SettingKeyInfo, 13> kSettingKeys{{
    {SettingKey::SourcePath, "Settings", "SourcePath", ""},
    {SettingKey::DestinationPath, "Settings", "DestinationPath", ""},
    {SettingKey::Thickness, "Settings", "Z-Dimension", ""},
    {SettingKey::Head1, "Settings", "Head1", "1"},
    {SettingKey::Dfs, "Settings", "DFS", "0"},
    {SettingKey::Skin, "Settings", "Skin", "0"},
    {SettingKey::WindowTop, "Window", "Top", "0"},
    {SettingKey::WindowLeft, "Window", "Left", "0"},
    {SettingKey::DirTop, "DirDialogBox", "Top", "0"},
    {SettingKey::DirLeft, "DirDialogBox", "Left", "0"},
    {SettingKey::DirLastDir, "DirDialogBox", "LastDir", ""},
    // The machining-time estimate's rates, in mm per minute and seconds (missing: the defaults).
    {SettingKey::RapidRate, "Settings", "RapidRate", "25000"},
    {SettingKey::ToolChangeTime, "Settings", "ToolChangeTime", "10"},
}};

constexpr const SettingKeyInfo& settingKeyInfo(SettingKey id) { return kSettingKeys[static_cast<std::size_t>(id)]; }

}  // namespace pathshift
