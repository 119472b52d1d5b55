#pragma once
// Starting the system information tool, found through two registry entries. The registry sits
// behind a small interface: the Windows registry on Windows, none elsewhere, and fakes in tests,
// so the rules for the strings read from it hold on every platform.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace pathshift::app {

using RegistryRoot = std::uint32_t;
inline constexpr RegistryRoot kLocalMachine = 0x80000002u;
inline constexpr std::uint32_t kStringValue = 1;  // a text
inline constexpr std::uint32_t kNumberValue = 4;  // a 32-bit number, lowest byte first

struct RegistryValue {
    std::uint32_t type = 0;
    std::string bytes;  // as stored; its size is the value's size in bytes
};

class Registry {
public:
    virtual ~Registry() = default;
    // Empty when the key cannot be opened for reading or the value cannot be read.
    virtual std::optional<RegistryValue> value(RegistryRoot root, const std::string& keyName,
                                               const std::string& valueName) = 0;
};

// A system without a registry: nothing is ever found.
class NoRegistry final : public Registry {
public:
    std::optional<RegistryValue> value(RegistryRoot, const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

// The registry of this system.
Registry& systemRegistry();

// True when the value was read. A text loses its terminating NUL; a number becomes its decimal
// text; a value of another type leaves keyVal as it was.
bool GetKeyValue(Registry& registry, RegistryRoot keyRoot, const std::string& keyName, const std::string& subKeyRef,
                 std::string& keyVal);

struct SystemInfoPlaces {
    std::function<bool(const std::string& program)> start;  // false when it did not start
    std::function<bool(const std::string& file)> fileExists;
};

// Starts the tool from the first registry entry, else from the folder of the second; false when
// neither works and the operator must be told it is unavailable.
bool StartSysInfo(Registry& registry, const SystemInfoPlaces& places);

}  // namespace pathshift::app
