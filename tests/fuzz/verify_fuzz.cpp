// Fuzz target: any bytes as a source program. Whatever the engine converts must verify clean (the
// two replays agree with the translator), apart from cuts that no tool call precedes, whose depth
// the converted program cannot say; and any bytes as a converted program must replay without harm.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "engine/toolpath/verifier.h"

namespace {

class NullSink final : public pathshift::MoveSink {
public:
    bool move(const pathshift::Move&) override { return true; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    NullSink sink;
    pathshift::ReplayError error;
    pathshift::replaySelvix(text, sink, error);

    pathshift::ConversionOptions options;
    options.thickness = size % 3 == 0 ? "18" : "0.75";
    options.head = size % 2 ? pathshift::Head::One : pathshift::Head::Two;
    options.tools.appendRow({"1005", "3"});
    options.tools.appendRow({"2005", "-7"});
    const pathshift::VerifyResult result = pathshift::verifyProgram(text, options);
    if (result.conversion.perKind[static_cast<int>(pathshift::WarningKind::CutBeforeRapid)] > 0) return 0;
    if (result.verified && !result.report.same()) {
        for (const pathshift::VerifyDifference& d : result.report.differences)
            std::fprintf(stderr, "%zu/%zu: %s\n", d.sourceLine, d.targetLine, d.text.c_str());
        std::abort();
    }
    return 0;
}
