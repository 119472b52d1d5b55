#include "engine/translation/translator.h"

#include <charconv>
#include <cmath>
#include <string>

#include "engine/reading/number_text.h"

namespace pathshift {
namespace {

// The tool numbers each head knows (exclusive bounds).
constexpr int kHead1Low = 1000, kHead1High = 1010;
constexpr int kHead2Low = 2000, kHead2High = 2020;
// How much of a dropped line a warning quotes.
constexpr std::size_t kQuotedLine = 60;

std::string quote(std::string_view line) {
    std::string text(line.substr(0, kQuotedLine));
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    if (line.size() > kQuotedLine) text += "...";
    return "\"" + text + "\"";
}

std::string number(double value) {
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)ec;
    return std::string(buffer, end);
}

std::string_view compText(CompWord word) {
    switch (word) {
        case CompWord::G40: return "G40";
        case CompWord::G41: return "G41";
        case CompWord::G42: return "G42";
        case CompWord::None: break;
    }
    return {};
}

// A line that the translator drops although it looks like a block: letters followed by numbers.
bool holdsWords(std::string_view line) {
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const char c = line[i] | 0x20;
        if (c < 'a' || c > 'z') continue;
        const char n = line[i + 1];
        if ((n >= '0' && n <= '9') || n == '-' || n == '.') return true;
    }
    return false;
}

// A numbered block holding "(" anywhere is a comment line.
bool holdsComment(LineScanner& scanner) {
    scanner.setSeparator('(');
    return scanner.fieldCount() > 1;
}

}  // namespace

void Translator::beginScan(bool firstPass, bool quick) {
    firstPass_ = firstPass;
    quick_ = firstPass && quick;
    state_ = TranslationState{};
    std::vector<double> table = std::move(segments_.segMin);
    segments_ = SegmentState{};
    if (firstPass) {
        segments_.segMin = {0.0};
    } else {
        segments_.segMin = std::move(table);  // the second scan reads the first scan's table
    }
    formatter_.reset();
    cutBeforeRapidNoted_ = false;
    error_ = {};
}

// The first scan's part of a plunge: the segment that ends here gets its lowest level.
void Translator::recordSegment() {
    std::vector<double>& segMin = segments_.segMin;
    const auto count = static_cast<std::size_t>(segments_.segCount);
    segMin.resize(count + 2);
    segMin[count] = segments_.segMinZ;
    segments_.segMinZ = SegmentState::kNoZ;
    segments_.depth = state_.curZ;
}

void Translator::endFirstScan() {
    segments_.segMin.resize(static_cast<std::size_t>(segments_.segCount) + 2);
    segments_.segMin[static_cast<std::size_t>(segments_.segCount)] = segments_.segMinZ;
}

bool Translator::fail(std::string reason) {
    error_ = {lineNumber_, std::move(reason)};
    return false;
}

// Most letters are absent from most lines: the check and the usual number stay inline, the error
// texts out of line.
inline bool Translator::readWord(LineScanner& s, char letter, double& value) {
    s.setSeparator(letter);
    if (s.fieldCount() <= 1) return false;
    const NumberRead read = readLeadingNumber(s.field(2));
    if (read.overflow) [[unlikely]] {
        wordOverflow(letter);
        return false;
    }
    value = read.value;
    return true;
}

inline bool Translator::holdAsFloat(double value, char letter, float& out) {
    const std::optional<float> narrowed = narrowToFloat(value);
    if (!narrowed) [[unlikely]] {
        floatOverflow(value, letter);
        return false;
    }
    out = *narrowed;
    return true;
}

void Translator::wordOverflow(char letter) {
    if (error_.reason.empty()) fail(std::string("the ") + letter + " word is beyond the range of a number");
}

void Translator::floatOverflow(double value, char letter) {
    if (error_.reason.empty())
        fail(std::string("the ") + letter + " value " + number(value) + " is beyond the range of a 32-bit float");
}

// The G words, every field in order.
bool Translator::applyGWords(LineScanner& s) {
    TranslationState& st = state_;
    s.setSeparator('G');
    const int fields = s.fieldCount();
    for (int k = 2; k <= fields; ++k) {
        const NumberRead g = readLeadingNumber(s.field(k));
        if (g.overflow) return fail("a G word is beyond the range of a number");
        const double code = g.value;
        if (code == 0) {
            st.plungePending = true;
            st.motionMode = 0;
        } else if (code == 1 || code == 2 || code == 3) {
            if (!plungeStep()) return false;
            st.motionMode = static_cast<std::int16_t>(code);
        } else if (code == 20) {
            st.metric = false;
            st.unitsWord = UnitsWord::G70;
        } else if (code == 21) {
            st.metric = true;
            st.unitsWord = UnitsWord::G71;
        } else if (code == 40) {
            st.compWord = CompWord::G40;
        } else if (code == 41) {
            st.compWord = CompWord::G41;
        } else if (code == 42) {
            st.compWord = CompWord::G42;
        }
    }
    return true;
}

bool Translator::measureLine(LineScanner& s) {
    TranslationState& st = state_;
    double v = 0;
    bool zSeen = false;
    if (readWord(s, 'Z', v) && holdAsFloat(v, 'Z', st.curZ)) zSeen = true;
    if (!error_.reason.empty()) return false;
    if (!applyGWords(s)) return false;
    const bool cutting = st.motionMode >= 1 && st.motionMode <= 3;
    if (cutting && zSeen && static_cast<float>(segments_.segMinZ) > st.curZ) segments_.segMinZ = st.curZ;
    return true;
}

void Translator::noteDroppedLine(std::string_view line) {
    ++report_.linesDropped;
    if (line.empty()) return;
    if (line[0] == 'N') {
        report_.warn(lineNumber_, WarningKind::CommentedBlock,
                     "numbered block dropped because it holds a comment: " + quote(line));
    } else if ((line[0] == 'n' || line[0] == ' ' || line[0] == '\t') && holdsWords(line)) {
        report_.warn(lineNumber_, WarningKind::UnnumberedWords,
                     std::string("line dropped because it starts with ") +
                         (line[0] == 'n' ? "a lower-case n" : "a blank") + ": " + quote(line));
    }
}

bool Translator::translateLine(LineScanner& scanner) {
    lineNumber_ = scanner.lineNumber();
    const std::string_view line = scanner.currentLine();
    if (scanner.holdsNul()) [[unlikely]]
        return fail("the line holds a NUL byte: this is not a text program (a binary or damaged file?)");
    if (quick_) {
        if (line.empty() || line[0] != 'N' || holdsComment(scanner)) return true;
        return measureLine(scanner);
    }
    if (!firstPass_) ++report_.linesRead;
    if (line.empty() || line[0] != 'N' || holdsComment(scanner)) {
        if (!firstPass_) noteDroppedLine(line);
        return true;
    }
    if (!firstPass_) ++report_.blocksTranslated;

    TranslationState& st = state_;
    bool zSeen = false;
    float i = 0, j = 0;
    bool hasCentre = false;
    double v = 0;

    // The words in their fixed order; only the first occurrence of a letter counts.
    readWord(scanner, 'M', v);
    readWord(scanner, 'P', v);
    if (readWord(scanner, 'X', v)) holdAsFloat(-v, 'X', st.curX);
    if (readWord(scanner, 'Y', v)) holdAsFloat(-v, 'Y', st.curY);
    if (readWord(scanner, 'Z', v) && holdAsFloat(v, 'Z', st.curZ)) zSeen = true;
    if (readWord(scanner, 'I', v)) {
        holdAsFloat(-v, 'I', i);
        hasCentre = true;
    }
    if (readWord(scanner, 'J', v)) {
        holdAsFloat(-v, 'J', j);
        hasCentre = true;
    }
    readWord(scanner, 'K', v);
    const bool feedPerSecond = !st.metric && settings_.ipsFeed;  // the units before this line's G words
    if (readWord(scanner, 'F', v) && holdAsFloat(v, 'F', st.curF) && feedPerSecond) st.curF = st.curF / 60.0f;
    if (readWord(scanner, 'S', v)) holdAsFloat(v, 'S', st.curS);
    readWord(scanner, 'H', v);
    const bool toolWord = readWord(scanner, 'T', v);
    if (toolWord) {
        std::optional<std::int16_t> tool = roundToInt16(v);
        if (!tool) {
            if (error_.reason.empty()) fail("the tool number T" + number(v) + " is outside -32768 to 32767");
        } else {
            st.tWord = *tool;
        }
    }
    if (!error_.reason.empty()) return false;

    // The head's tool range, on every accepted line.
    const bool head1 = settings_.head == Head::One;
    const bool inRange = head1 ? (st.tWord > kHead1Low && st.tWord < kHead1High)
                               : (st.tWord > kHead2Low && st.tWord < kHead2High);
    if (inRange) {
        st.curTool = st.tWord;
    } else if (toolWord && !firstPass_) {
        report_.warn(lineNumber_, WarningKind::ToolOutsideHead,
                     "tool T" + std::to_string(st.tWord) + " is outside head " + (head1 ? "1" : "2") +
                         "'s tools (" + (head1 ? "1001 to 1009" : "2001 to 2019") + "): the tool stays T" +
                         std::to_string(st.curTool));
    }

    if (!applyGWords(scanner)) return false;

    const bool cutting = st.motionMode >= 1 && st.motionMode <= 3;
    if (firstPass_) {
        // Depth tracking: the lowest Z of the current segment.
        if (cutting && zSeen && static_cast<float>(segments_.segMinZ) > st.curZ) segments_.segMinZ = st.curZ;
    } else if (cutting) {
        if (!writeMotion(hasCentre, i, j)) return false;
    }
    st.lastPos[0] = st.curX;
    st.lastPos[1] = st.curY;
    st.lastPos[2] = st.curZ;
    return true;
}

bool Translator::writeMotion(bool hasCentre, float i, float j) {
    TranslationState& st = state_;
    const double segmentLevel = segments_.segMin[static_cast<std::size_t>(segments_.segCount)];
    const double zOut = static_cast<double>(st.curZ) - segmentLevel;
    if (segments_.segCount == 0 && !cutBeforeRapidNoted_) {
        cutBeforeRapidNoted_ = true;
        report_.warn(lineNumber_, WarningKind::CutBeforeRapid,
                     "cutting move before the first rapid (G0): no tool call precedes it");
    }
    const bool arc = st.motionMode != 1;
    float centreX = 0, centreY = 0;
    if (arc) {
        centreX = st.lastPos[0] + i;
        centreY = st.lastPos[1] + j;
        if (!std::isfinite(centreX) || !std::isfinite(centreY))
            return fail("the arc centre is beyond the range of a 32-bit float");
        if (!hasCentre)
            report_.warn(lineNumber_, WarningKind::ArcWithoutCentre,
                         "arc block without I or J: its centre is its start point");
    }
    out_.append(st.motionMode == 1 ? "G1" : st.motionMode == 2 ? "G2" : "G3");
    appendWord(formatter_.FormatWord(Letter::X, st.curX));
    appendWord(formatter_.FormatWord(Letter::Y, st.curY));
    appendWord(formatter_.FormatWord(Letter::Z, zOut));
    if (arc) {
        appendWord(formatter_.FormatWord(Letter::I, centreX));
        appendWord(formatter_.FormatWord(Letter::J, centreY));
    }
    appendWord(formatter_.FormatWord(Letter::F, st.curF));
    out_.endLine();
    return true;
}

bool Translator::plungeStep() {
    TranslationState& st = state_;
    if (!st.plungePending) return true;

    if (quick_) {  // the quick scan only measures: the segment ends here
        recordSegment();
        ++segments_.segCount;
        st.plungePending = false;
        return true;
    }
    ToolTableError tableError;
    std::optional<ToolTranslation> tool = tools_.translate(st.curTool, tableError);
    if (!tool) return fail("tool table row " + std::to_string(tableError.row) + ": " + tableError.reason);

    std::vector<double>& segMin = segments_.segMin;
    const auto count = static_cast<std::size_t>(segments_.segCount);
    if (firstPass_) {
        recordSegment();
    } else {
        // Both scans start from the same state, so the second meets exactly the first's plunges.
        if (count + 1 >= segMin.size()) return fail("internal error: the depth table has no entry for this plunge");
        const double level = segMin[count + 1];
        segments_.depth = level - settings_.thickness;
        segments_.rapidZ = settings_.thickness - level + 0.5;
        ++report_.plunges;
        if (level == SegmentState::kNoZ)
            report_.warn(lineNumber_, WarningKind::SegmentWithoutZ,
                         "cutting segment without a Z word: its depth is 9999 minus the thickness");
        if (tool->cellNotANumber)
            report_.warn(lineNumber_, WarningKind::ToolCellNotANumber,
                         "tool table row " + std::to_string(tool->row) + " for tool " + std::to_string(st.curTool) +
                             ": the Selvix cell \"" + tools_.cell(tool->row, 2) + "\" is not a number: called as T0");
        if (tool->source == ToolTranslation::Source::LastDigit)
            report_.warn(lineNumber_, WarningKind::ToolNotInTable,
                         "tool " + std::to_string(st.curTool) + " is not in the tool table: called as T" +
                             std::to_string(tool->tool));
    }
    ++segments_.segCount;

    const bool fullBlock = segments_.lastTool != tool->tool || segments_.lastDepth != segments_.depth;
    if (!firstPass_) {
        const std::string toolText = std::to_string(tool->tool);
        out_.AppendLine(fullBlock ? "G0Z2M5" : "G0Z2");
        out_.endLine();
        out_.append("(DIS, \"T");
        out_.append(toolText);
        out_.AppendLine("\")");
        if (fullBlock) {
            ++report_.toolCalls;
            out_.append("G306");
            appendWord(formatter_.FormatWord(Letter::T, tool->tool));
            appendWord(formatter_.FormatWord(Letter::h, tool->tool));
            appendWord(formatter_.FormatWord(Letter::S, st.curS));
            out_.append('D');
            out_.append(settings_.dfs ? '1' : '0');
            appendWord(formatter_.FormatWord(Letter::DepthZ, segments_.depth));
            out_.endLine();
            out_.AppendLine("M93");
        }
        // The retract left the machine at Z2, so the approach height is always written.
        formatter_.forgetZ();
        out_.append("G0");
        out_.append(compText(st.compWord));
        appendWord(formatter_.FormatWord(Letter::X, st.lastPos[0]));
        appendWord(formatter_.FormatWord(Letter::Y, st.lastPos[1]));
        appendWord(formatter_.FormatWord(Letter::Z, segments_.rapidZ));
        out_.endLine();
    }
    if (fullBlock) segments_.lastDepth = segments_.depth;
    segments_.lastTool = tool->tool;
    st.plungePending = false;
    return true;
}

}  // namespace pathshift
