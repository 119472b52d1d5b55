#include "system_info.h"

namespace pathshift::app {
namespace {

constexpr const char* kInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kInfoValue = "PATH";
constexpr const char* kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const char* kLocationValue = "MSINFO";
constexpr const char* kInfoProgram = "\\MSINFO32.EXE";

}  // namespace

bool GetKeyValue(Registry& registry, RegistryRoot keyRoot, const std::string& keyName, const std::string& subKeyRef,
                 std::string& keyVal) {
    std::optional<RegistryValue> read = registry.value(keyRoot, keyName, subKeyRef);
    if (!read) {
        keyVal.clear();
        return false;
    }
    std::string kept = read->bytes;
    if (!kept.empty() && kept.back() == '\0') kept.pop_back();
    if (read->type == kStringValue) {
        keyVal = kept;
    } else if (read->type == kNumberValue) {
        // From all four bytes, so a number whose highest byte is 0 keeps its value.
        std::uint32_t number = 0;
        for (std::size_t i = 0; i < 4 && i < read->bytes.size(); ++i)
            number |= static_cast<std::uint32_t>(static_cast<unsigned char>(read->bytes[i])) << (8 * i);
        keyVal = std::to_string(number);
    }
    return true;
}

bool StartSysInfo(Registry& registry, const SystemInfoPlaces& places) {
    std::string path;
    if (GetKeyValue(registry, kLocalMachine, kInfoKey, kInfoValue, path)) return places.start(path);
    if (GetKeyValue(registry, kLocalMachine, kLocationKey, kLocationValue, path)) {
        const std::string program = path + kInfoProgram;
        if (places.fileExists(program)) return places.start(program);
    }
    return false;
}

#ifndef _WIN32
Registry& systemRegistry() {
    static NoRegistry none;
    return none;
}
#endif

}  // namespace pathshift::app
