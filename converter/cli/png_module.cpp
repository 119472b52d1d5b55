#include "png_module.h"

#include <dlfcn.h>

#include <filesystem>

#include "settings/app_folder.h"

namespace pathshift::cli {
namespace {

namespace fs = std::filesystem;

struct Loaded {
    PlanPngWriter writer = nullptr;
    std::string why;
};

// The first place holding the file decides: a module there that does not load is reported as it
// is, not passed over for another one.
Loaded load() {
    const fs::path programFolder = fs::path(runningProgramFile()).parent_path();
    const fs::path places[] = {programFolder, (programFolder / PATHSHIFT_MODULE_DIR_FROM_BIN).lexically_normal()};
    for (const fs::path& folder : places) {
        const fs::path file = folder / kPlanPngModule;
        std::error_code ec;
        if (!fs::exists(file, ec)) continue;
        // Never closed: Qt keeps threads and handlers of its own until the process ends.
        void* module = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) return {nullptr, "cannot load " + file.string() + ": " + ::dlerror()};
        const auto version = reinterpret_cast<decltype(&pathshift_png_version)>(::dlsym(module, "pathshift_png_version"));
        const auto writer = reinterpret_cast<PlanPngWriter>(::dlsym(module, "pathshift_write_plan_png"));
        if (!version || !writer) return {nullptr, file.string() + " is not pathshift-cli's PNG writer"};
        if (std::string(version()) != PATHSHIFT_VERSION)
            return {nullptr, file.string() + " belongs to version " + version() + ", this is " PATHSHIFT_VERSION};
        return {writer, {}};
    }
    return {nullptr, std::string(kPlanPngModule) + " is in neither " + places[0].string() + " nor " +
                         places[1].string()};
}

}  // namespace

PlanPngWriter planPngWriter(std::string& why) {
    static const Loaded loaded = load();
    why = loaded.why;
    return loaded.writer;
}

}  // namespace pathshift::cli
