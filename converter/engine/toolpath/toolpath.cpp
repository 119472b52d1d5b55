#include "engine/toolpath/toolpath.h"

namespace pathshift {
namespace {

class CollectingSink final : public MoveSink {
public:
    explicit CollectingSink(Toolpath& path) : path_(path) {}
    void begin(const ToolpathInfo& info) override { path_.info = info; }
    bool move(const Move& move) override {
        path_.moves.push_back(move);
        return true;
    }

private:
    Toolpath& path_;
};

}  // namespace

std::optional<Toolpath> replayTarvo(std::string_view text, const ConversionOptions& options, ReplayError& error) {
    Toolpath path;
    CollectingSink sink(path);
    if (!replayTarvo(text, options, sink, error)) return std::nullopt;
    return path;
}

std::optional<Toolpath> replaySelvix(std::string_view text, ReplayError& error) {
    Toolpath path;
    CollectingSink sink(path);
    if (!replaySelvix(text, sink, error)) return std::nullopt;
    return path;
}

std::string_view moveKindName(MoveKind kind) {
    switch (kind) {
        case MoveKind::Rapid: return "rapid";
        case MoveKind::Line: return "line";
        case MoveKind::ArcClockwise: return "clockwise arc";
        case MoveKind::ArcCounterClockwise: return "counter-clockwise arc";
    }
    return "move";
}

std::string_view unitsName(Units units) {
    switch (units) {
        case Units::Inch: return "inch";
        case Units::Millimetre: return "mm";
        case Units::Unknown: break;
    }
    return "unknown units";
}

}  // namespace pathshift
