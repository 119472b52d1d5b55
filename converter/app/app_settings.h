#pragma once
// The program's settings: one settings file in the folder given, every key from the table in
// settings/setting_keys.h. Reads give the stored text (the key's fallback when it is missing);
// writes happen at once and report a failure with the file's reason.

#include <QString>
#include <optional>

#include "settings/setting_keys.h"
#include "settings/settings_file.h"

namespace pathshift::app {

class AppSettings {
public:
    // `folder` ends in the folder separator, as AppFolder does.
    explicit AppSettings(const QString& folder);

    QString folder() const { return folder_; }
    QString filePath() const;

    // The stored text, or the key's fallback when the key is missing or empty.
    QString read(SettingKey key) const;
    double readNumber(SettingKey key) const;
    // Empty when the stored text does not convert.
    std::optional<bool> readBoolean(SettingKey key) const;
    std::optional<int> readInteger(SettingKey key) const;

    // False when the file could not be written; lastError() then says why.
    bool write(SettingKey key, const QString& value);
    QString lastError() const { return lastError_; }

private:
    QString folder_;
    SettingsFile file_;
    QString lastError_;
};

}  // namespace pathshift::app
