#pragma once
// The state of one scan. Every scan of every file starts from the zero value of these structs (plus
// the begin-of-scan values of SegmentState and the formatter), so a file's output never depends on
// the files converted before it and both scans of a file meet the same plunges.

#include <cstdint>
#include <vector>

namespace pathshift {

enum class UnitsWord : std::uint8_t { None, G70, G71 };     // G20 gives G70, G21 gives G71
enum class CompWord : std::uint8_t { None, G40, G41, G42 };  // the last compensation word

struct TranslationState {
    float curX = 0;   // minus the last X word
    float curY = 0;   // minus the last Y word
    float curZ = 0;   // the last Z word
    float curF = 0;   // the last F word, per second for inch programs with the IPS feed option
    float curS = 0;   // the last S word
    std::int16_t tWord = 0;    // the last T word
    std::int16_t curTool = 0;  // the last T word inside the selected head's range
    std::int16_t motionMode = 0;  // 0 after G0, 1 to 3 after G1 to G3
    bool plungePending = false;   // set by G0, consumed by the next G1, G2 or G3
    bool metric = false;          // G21 sets, G20 clears
    UnitsWord unitsWord = UnitsWord::None;
    CompWord compWord = CompWord::None;
    float lastPos[3] = {0, 0, 0};  // curX, curY, curZ at the end of the previous accepted line
};

struct SegmentState {
    static constexpr double kNoZ = 9999.0;   // the level of a segment without any Z word
    static constexpr double kUnset = -9999.0;

    std::vector<double> segMin{0.0};  // lowest Z per segment, index k after the k-th plunge
    std::int32_t segCount = 0;        // plunges met so far in this scan
    double segMinZ = kNoZ;            // lowest Z of the current segment, first scan only
    double depth = 0;                 // depth of the current segment, as written in the tool call
    double lastDepth = kUnset;        // depth of the last full tool block
    double rapidZ = 0;                // approach height of the current segment
    std::int16_t lastTool = 0;        // translated tool number of the last plunge block
};

}  // namespace pathshift
