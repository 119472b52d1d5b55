#include "app_settings.h"

#include "settings/setting_values.h"
#include "trace_log.h"

namespace pathshift::app {
namespace {

QString nameOf(const SettingKeyInfo& info) {
    return QString::fromUtf8(info.section.data(), static_cast<qsizetype>(info.section.size())) + "/" +
           QString::fromUtf8(info.key.data(), static_cast<qsizetype>(info.key.size()));
}

}  // namespace

AppSettings::AppSettings(const QString& folder)
    : folder_(folder), file_((folder + QString::fromUtf8(kSettingsFileName)).toStdString()) {}

QString AppSettings::filePath() const { return QString::fromStdString(file_.path().string()); }

QString AppSettings::read(SettingKey key) const {
    const SettingKeyInfo& info = settingKeyInfo(key);
    trace("read " + nameOf(info));
    const std::string value = file_.ReadSetting(info.section, info.key);
    if (value.empty()) return QString::fromUtf8(info.fallback.data(), static_cast<qsizetype>(info.fallback.size()));
    return QString::fromStdString(value);
}

double AppSettings::readNumber(SettingKey key) const { return settingAsNumber(read(key).toStdString()); }

std::optional<bool> AppSettings::readBoolean(SettingKey key) const {
    return settingAsBoolean(read(key).toStdString());
}

std::optional<int> AppSettings::readInteger(SettingKey key) const {
    return settingAsInteger(read(key).toStdString());
}

bool AppSettings::write(SettingKey key, const QString& value) {
    const SettingKeyInfo& info = settingKeyInfo(key);
    trace("write " + nameOf(info) + "=" + value);
    std::string error;
    if (file_.WriteSetting(info.section, info.key, value.toStdString(), &error)) return true;
    lastError_ = QString::fromStdString(error);
    return false;
}

}  // namespace pathshift::app
