// A Selvix program replayed as the engine writes it: header, plunge blocks, motion lines, trailer.

#include <cmath>
#include <string>

#include "engine/reading/number_text.h"
#include "engine/toolpath/selvix_reader.h"

namespace pathshift {
namespace {

// The G codes the reading acts on.
constexpr int kRapid = SelvixReader::kRapid, kCounterClockwise = SelvixReader::kCounterClockwise;
constexpr int kInch = 70, kMillimetre = 71, kMachineCoordinates = 79;
constexpr int kLoadDoor = 300, kUnloadDoor = 301, kToolCall = 306;

std::string shown(std::string_view line) {
    constexpr std::size_t kQuoted = 60;
    std::string text(line.substr(0, kQuoted));
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return "\"" + text + (line.size() > kQuoted ? "...\"" : "\"");
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// What a line's G codes say: its units, whether it is outside the toolpath or a tool call, the
// last motion code it names (-1 for none).
struct CodeLook {
    bool inch = false, millimetre = false, skipped = false, toolCall = false;
    int motion = -1;
};

CodeLook lookAtCodes(const SelvixWords& words) {
    CodeLook look;
    for (int k = 0; k < words.gCount; ++k) {
        const int code = words.g[k];
        if (code >= kRapid && code <= kCounterClockwise) look.motion = code;
        look.inch |= code == kInch;
        look.millimetre |= code == kMillimetre;
        look.skipped |= code == kMachineCoordinates || code == kLoadDoor || code == kUnloadDoor;
        look.toolCall |= code == kToolCall;
    }
    return look;
}

}  // namespace

bool SelvixReader::fail(std::string reason) {
    error_ = {lineNumber_, std::move(reason)};
    return false;
}

SelvixReader::Step SelvixReader::stepFailed(std::string reason) {
    fail(std::move(reason));
    return Step::Failed;
}

// Letter and number pairs; a letter's first value counts. Lower-case letters (the tool call's h)
// are read as their capitals.
bool SelvixReader::readWords(std::string_view line, SelvixWords& words) {
    const char* p = line.data();
    const char* const end = p + line.size();
    while (p < end) {
        if (*p == ' ' || *p == '\t') {
            ++p;
            continue;
        }
        char letter = *p;
        if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
        if (letter < 'A' || letter > 'Z') return fail("cannot read " + shown(line) + ": a word must start with a letter");
        ++p;
        // The engine writes [-]digits[.digits]; one point at most and at least one digit.
        const char* const number = p;
        if (p < end && *p == '-') ++p;
        int digits = 0, points = 0;
        for (; p < end; ++p) {
            if (*p >= '0' && *p <= '9') {
                ++digits;
            } else if (*p == '.') {
                ++points;
            } else {
                break;
            }
        }
        if (digits == 0 || points > 1)
            return fail("cannot read " + shown(line) + ": the " + std::string(1, letter) + " word has no number");
        // Read on, "1e400" would be the word 1 and a word E: the converter writes no exponents.
        if (p + 1 < end && (*p == 'e' || *p == 'E') &&
            ((p[1] >= '0' && p[1] <= '9') || p[1] == '-' || p[1] == '+'))
            return fail("cannot read " + shown(line) + ": the " + std::string(1, letter) +
                        " word's number has an exponent, which a converted program never holds");
        const NumberRead read = readLeadingNumber(std::string_view(number, static_cast<std::size_t>(p - number)));
        if (read.overflow) return fail("cannot read " + shown(line) + ": a number beyond range");
        const double value = read.value;
        if (letter == 'G') {
            if (value != std::floor(value) || !words.addG(static_cast<int>(value)))
                return fail("cannot read " + shown(line) + ": unexpected G words");
        } else {
            words.add(letter, value);
        }
    }
    return true;
}

// Before any word the machine stands at X0 Y0 Z0 of its own frame, which mirrored is -0, -0, 0.
void SelvixReader::startMachine() {
    move_.end = {-0.0, -0.0, z_ + level_};
    move_.depthKnown = false;
}

SelvixReader::Step SelvixReader::readLine(std::string_view line, std::size_t lineNumber) {
    lineNumber_ = lineNumber;
    line = trimmed(line.substr(0, line.find(';')));
    return started_ ? bodyLine(line) : headerLine(line);
}

SelvixReader::Step SelvixReader::headerLine(std::string_view line) {
    if (line == "\"START\"") {
        if (!thicknessSeen_) return stepFailed("the header names no thickness (E3=)");
        started_ = true;
        return Step::Started;
    }
    if (line == "G70") info_.units = Units::Inch;
    if (line == "G71") info_.units = Units::Millimetre;
    if (line.substr(0, 3) == "E3=") {
        const std::optional<double> thickness = readStrictNumber(line.substr(3));
        if (!thickness) return stepFailed("the thickness " + shown(line) + " is not a number");
        info_.thickness = *thickness;
        thicknessSeen_ = true;
    }
    return Step::Nothing;
}

SelvixReader::Step SelvixReader::bodyLine(std::string_view line) {
    // Messages, labels and empty lines carry no words.
    if (line.empty() || line.front() == '(' || line.front() == '"') return Step::Nothing;
    SelvixWords words;
    if (!readWords(line, words)) return Step::Failed;
    return bodyWords(words, line);
}

SelvixReader::Step SelvixReader::wordsBeforeStart() {
    return stepFailed("internal error: words before the \"START\" label");
}

SelvixReader::Step SelvixReader::lineFailed(std::string_view what, std::string_view line, std::string_view why) {
    return stepFailed(std::string(what) + shown(line) + std::string(why));
}

// Out of line, so that the common line needs few registers.
[[gnu::noinline]] SelvixReader::Step SelvixReader::otherWords(const SelvixWords& words, std::string_view line) {
    const CodeLook look = lookAtCodes(words);
    if (look.inch) info_.units = Units::Inch;
    if (look.millimetre) info_.units = Units::Millimetre;
    if (look.skipped) return Step::Nothing;
    if (look.toolCall) return toolCallLine(words, line);
    const bool namesMotion = look.motion >= kRapid;
    return motionWords(words, line, namesMotion ? look.motion : motion_, namesMotion);
}

SelvixReader::Step SelvixReader::toolCallLine(const SelvixWords& words, std::string_view line) {
    if (!words.has('T') || !words.has('Z')) return lineFailed("the tool call ", line, " lacks its T or Z word");
    const double tool = words['T'];
    if (!(tool >= -32768 && tool <= 32767) || tool != std::floor(tool))
        return lineFailed("the tool call ", line, " names no tool number");
    move_.tool = static_cast<std::int16_t>(tool);
    move_.depth = words['Z'];
    move_.depthKnown = true;
    level_ = move_.depth + info_.thickness;
    // Z 0 lies elsewhere now: the Z in effect stands at another height.
    move_.end.z = z_ + level_;
    if (toolCalls_) toolCalls_->toolCall(move_.tool);
    return Step::Nothing;
}

bool SelvixReader::begin() {
    std::string_view line;
    while (lines_.next(line)) {
        switch (readLine(line, lines_.lineNumber())) {
            case Step::Started: return true;
            case Step::Failed: return false;
            default: break;
        }
    }
    if (!lines_.error().empty()) return fail(lines_.error());
    return fail("no \"START\" label: this is not a program the converter writes");
}

bool SelvixReader::next(Move& move) {
    std::string_view line;
    while (lines_.next(line)) {
        switch (readLine(line, lines_.lineNumber())) {
            case Step::Move:
                move = move_;
                return true;
            case Step::Failed: return false;
            default: break;
        }
    }
    if (!lines_.error().empty()) return fail(lines_.error());
    return false;
}

namespace {

bool replayWith(SelvixReader& reader, MoveSink& sink, ReplayError& error) {
    error = {};
    if (!reader.begin()) {
        error = reader.error();
        return false;
    }
    sink.begin(reader.info());
    Move move;
    while (reader.next(move))
        if (!sink.move(move)) return true;
    error = reader.error();
    return error.reason.empty();
}

}  // namespace

bool replaySelvix(TextSource& source, MoveSink& sink, ReplayError& error) {
    SelvixReader reader(source, &sink);
    return replayWith(reader, sink, error);
}

bool replaySelvix(std::string_view text, MoveSink& sink, ReplayError& error) {
    SelvixReader reader(text, &sink);
    return replayWith(reader, sink, error);
}

}  // namespace pathshift
