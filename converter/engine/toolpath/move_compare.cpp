#include "engine/toolpath/move_compare.h"

#include <cmath>
#include <cstdio>


namespace pathshift {
namespace {

// Within the rounding of `values` target values plus the float precision of the larger one.
bool near(double a, double b, int values) {
    const double size = std::max(std::fabs(a), std::fabs(b));
    return std::fabs(a - b) <= values * kTargetRounding + kFloatPrecision * size;
}

// Z is made of the motion line's Z and the tool call's depth.
constexpr int kOneValue = 1;
constexpr int kTwoValues = 2;

struct Check {
    const Cut& source;
    const Cut& target;
    std::string* text;  // null when only the verdict is wanted
    bool same = true;

    void value(const char* what, double a, double b, int values) {
        if (near(a, b, values)) return;
        same = false;
        if (!text) return;
        if (!text->empty()) text->append("; ");
        text->append(what);
        text->append(" ");
        text->append(shownNumber(a));
        text->append(" in the source, ");
        text->append(shownNumber(b));
        text->append(" in the target");
    }
    void note(const std::string& words) {
        same = false;
        if (!text) return;
        if (!text->empty()) text->append("; ");
        text->append(words);
    }

    bool run() {
        const Move& s = source.move;
        const Move& t = target.move;
        if (s.kind != t.kind) {
            note(std::string("a ") + std::string(moveKindName(s.kind)) + " in the source, a " +
                 std::string(moveKindName(t.kind)) + " in the target");
            if (!text) return false;
        }
        if (source.afterRapid || target.afterRapid) {
            value("start X", s.start.x, t.start.x, kOneValue);
            value("start Y", s.start.y, t.start.y, kOneValue);
        }
        value("end X", s.end.x, t.end.x, kOneValue);
        value("end Y", s.end.y, t.end.y, kOneValue);
        if (!t.depthKnown) {
            note("no tool call in the target names the depth of this cut");
        } else {
            value("end Z", s.end.z, t.end.z, kTwoValues);
            value("depth", s.depth, t.depth, kOneValue);
        }
        if (s.arc() && t.arc()) {
            value("centre X", s.centreX, t.centreX, kOneValue);
            value("centre Y", s.centreY, t.centreY, kOneValue);
        }
        if (s.tool != t.tool) note("tool T" + std::to_string(s.tool) + " in the source, T" + std::to_string(t.tool) +
                                   " in the target");
        return same;
    }
};

}  // namespace

bool sameCut(const Cut& source, const Cut& target) { return Check{source, target, nullptr}.run(); }

std::string cutDifference(const Cut& source, const Cut& target) {
    std::string text;
    Check{source, target, &text}.run();
    return text;
}

std::string shownNumber(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.5f", value);
    std::string text(buffer);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    if (text == "-0") text = "0";
    return text;
}

}  // namespace pathshift
