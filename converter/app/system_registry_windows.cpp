// The Windows registry behind the about dialog's system-information button.

#include <windows.h>

#include "system_info.h"

namespace pathshift::app {
namespace {

// Query value, set value, create subkey, enumerate subkeys, notify, create link, read control:
// the access the earlier program asked for. A key that refuses it counts as missing.
constexpr REGSAM kAccess = 0x2003F;
constexpr DWORD kBufferBytes = 1024;

class WindowsRegistry final : public Registry {
public:
    std::optional<RegistryValue> value(RegistryRoot root, const std::string& keyName,
                                       const std::string& valueName) override {
        HKEY key = nullptr;
        if (RegOpenKeyExA(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root))), keyName.c_str(), 0,
                          kAccess, &key) != ERROR_SUCCESS)
            return std::nullopt;
        std::string buffer(kBufferBytes, '\0');
        DWORD type = 0;
        DWORD size = kBufferBytes;
        const LONG result = RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                                             reinterpret_cast<BYTE*>(buffer.data()), &size);
        RegCloseKey(key);
        if (result != ERROR_SUCCESS) return std::nullopt;
        buffer.resize(size);
        return RegistryValue{type, buffer};
    }
};

}  // namespace

Registry& systemRegistry() {
    static WindowsRegistry registry;
    return registry;
}

}  // namespace pathshift::app
