#include "engine/translation/translator.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>

namespace pathshift {
namespace {

// How much of a dropped line a warning quotes.
constexpr std::size_t kQuotedLine = 60;

std::string quote(std::string_view line) {
    std::string text(line.substr(0, kQuotedLine));
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    if (line.size() > kQuotedLine) text += "...";
    return "\"" + text + "\"";
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

// The words of the plunge block's fixed lines, as their text reads.
constexpr SelvixWords wordsOf(std::initializer_list<int> codes, std::initializer_list<std::pair<char, double>> words) {
    SelvixWords w{};
    for (int code : codes) w.addG(code);
    for (const auto& [letter, value] : words) w.add(letter, value);
    return w;
}
constexpr SelvixWords kRetractWords = wordsOf({0}, {{'Z', 2}});                  // G0Z2
constexpr SelvixWords kRetractStopWords = wordsOf({0}, {{'Z', 2}, {'M', 5}});    // G0Z2M5
constexpr SelvixWords kSpindleWords = wordsOf({}, {{'M', 93}});                  // M93
constexpr SelvixWords kNoWords{};  // an empty line, a message

int compCode(CompWord word) { return word == CompWord::G41 ? 41 : word == CompWord::G42 ? 42 : 40; }

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

// A few bytes: a plain loop beats a call to memcpy.
char* copyText(std::string_view text, char* at) {
    for (std::size_t i = 0; i < text.size(); ++i) at[i] = text[i];
    return at + text.size();
}

}  // namespace

// Inline: the letter known, only its rule is left.
template <class Value>
[[gnu::always_inline]] inline char* Translator::appendWord(Letter letter, Value value, char* at) {
    return noted(at, formatter_.write(letter, value, at));
}

void Translator::keepStartWords(const TarvoBlock& block) {
    const auto keep = [&](TarvoLetter letter, KeptWord& kept) {
        if (!block.has(letter)) return;
        const TarvoWord& source = block.word(letter);
        kept.word = source;
        if (const auto* shape = copiedShape(source.text, source.plain)) {
            std::copy_n(source.text - 1, 1 + shape->minus + shape->count, kept.text);
        } else {
            kept.word.plain = {};
        }
    };
    keep(TarvoLetter::X, keptX_);
    keep(TarvoLetter::Y, keptY_);
}

// Inline: the letter known, only its rule is left.
[[gnu::always_inline]] inline char* Translator::appendStartWord(Letter letter, const KeptWord& kept, float start, char* at) {
    if (std::bit_cast<std::uint32_t>(kept.word.held) == std::bit_cast<std::uint32_t>(start)) {
        // The same value: the word's text, where copied, is the text the general way writes.
        TarvoWord word = kept.word;
        word.text = kept.text + 1;
        return noted(at, formatter_.write(letter, word, true, at));
    }
    return noted(at, formatter_.write(letter, -start, at));
}

void Translator::fixedLine(std::string_view text, const SelvixWords& words) {
    endLine(copyText(text, out_.lineRoom(text.size())), words);
}

bool Translator::fail(std::string reason) {
    error_ = {lineNumber_, std::move(reason)};
    return false;
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

bool Translator::takeOtherLine(const TarvoBlock& block) {
    if (block.fault.kind == WordFault::Kind::Nul) return fail(faultText(block.fault, FaultWording::Converter));
    if (block.kind != TarvoBlock::Kind::Numbered) {
        noteDroppedLine(block.text);
        return true;
    }
    ++report_.blocksTranslated;
    return fail(faultText(block.fault, FaultWording::Converter));
}

void Translator::takeSpeedTool(const TarvoBlock& block) {
    const TarvoMachine& m = machine_;
    if (block.has(TarvoLetter::S)) speed_ = block.word(TarvoLetter::S).held;
    if (m.toolWord && !headKnowsTool(settings_.head, m.tWord)) {
        const bool head1 = settings_.head == Head::One;
        report_.warn(lineNumber_, WarningKind::ToolOutsideHead,
                     "tool T" + std::to_string(m.tWord) + " is outside head " + (head1 ? "1" : "2") + "'s tools (" +
                         headToolRange(settings_.head) + "): the tool stays T" + std::to_string(m.tool));
    }
}

bool Translator::plunge() {
    const TarvoMachine& m = machine_;
    if (!lookedUp_ || lookedUpTool_ != m.tool) {
        ToolTableError tableError;
        lookedUp_ = tools_.translate(m.tool, tableError);
        if (!lookedUp_) return fail("tool table row " + std::to_string(tableError.row) + ": " + tableError.reason);
        lookedUpTool_ = m.tool;
    }
    const ToolTranslation* const tool = &*lookedUp_;

    // The measuring reading met exactly these plunges: both start from the same state.
    if (!levels_.holds(plunges_ + 1)) return fail("internal error: the depth table has no entry for this plunge");
    const double level = levels_.level(plunges_ + 1);
    level_ = level;
    depth_ = level - settings_.thickness;
    const double rapidZ = settings_.thickness - level + 0.5;
    ++report_.plunges;
    if (level == kNoZLevel)
        report_.warn(lineNumber_, WarningKind::SegmentWithoutZ,
                     "cutting segment without a Z word: its depth is 9999 minus the thickness");
    if (tool->cellNotANumber)
        report_.warn(lineNumber_, WarningKind::ToolCellNotANumber,
                     "tool table row " + std::to_string(tool->row) + " for tool " + std::to_string(m.tool) +
                         ": the Selvix cell \"" + tools_.cell(tool->row, 2) + "\" is not a number: called as T0");
    if (tool->source == ToolTranslation::Source::LastDigit) {
        // Met at every plunge of such a tool: past the listed warnings the text is not built.
        if (report_.lists(WarningKind::ToolNotInTable)) {
            report_.warn(lineNumber_, WarningKind::ToolNotInTable,
                         "tool " + std::to_string(m.tool) + " is not in the tool table: called as T" +
                             std::to_string(tool->tool));
        } else {
            report_.countUnlisted(WarningKind::ToolNotInTable);
        }
    }
    ++plunges_;

    const bool fullBlock = lastTool_ != tool->tool || lastDepth_ != depth_;
    // The fixed lines reach the watcher as their words, so the estimate need not read their text.
    if (fullBlock) {
        fixedLine("G0Z2M5", kRetractStopWords);
    } else {
        fixedLine("G0Z2", kRetractWords);
    }
    fixedLine("", kNoWords);
    constexpr std::string_view kMessage = "(DIS, \"T", kMessageEnd = "\")";
    char* p = out_.lineRoom(kMessage.size() + 6 + kMessageEnd.size());  // an int16 is at most 6 characters
    p = std::copy(kMessage.begin(), kMessage.end(), p);
    p = std::to_chars(p, p + 6, tool->tool).ptr;
    endLine(std::copy(kMessageEnd.begin(), kMessageEnd.end(), p), kNoWords);
    // The lines of words are written in place, as a motion line is: G306, T, h, S, D, Z; G0, a
    // compensation word, X, Y, Z.
    if (fullBlock) {
        ++report_.toolCalls;
        beginWords(306);
        p = copyText("G306", out_.lineRoom(4 + 5 * WordFormatter::kMaxWord));
        p = appendWord(Letter::T, tool->tool, p);
        p = appendWord(Letter::h, tool->tool, p);
        p = appendWord(Letter::S, speed_, p);
        *p++ = 'D';
        *p++ = settings_.dfs ? '1' : '0';
        if (lines_) words_.add('D', settings_.dfs ? 1 : 0);
        endWords(appendWord(Letter::DepthZ, depth_, p));
        fixedLine("M93", kSpindleWords);
        lastDepth_ = depth_;
    }
    lastTool_ = tool->tool;
    // The retract left the machine at Z2, so the approach height is always written.
    formatter_.forgetZ();
    beginWords(0);
    p = copyText("G0", out_.lineRoom(5 + 3 * WordFormatter::kMaxWord));
    if (m.comp != CompWord::None) words_.addG(compCode(m.comp));
    p = copyText(compText(m.comp), p);
    p = appendStartWord(Letter::X, keptX_, m.last.x, p);
    p = appendStartWord(Letter::Y, keptY_, m.last.y, p);
    endWords(appendWord(Letter::Z, rapidZ, p));
    return true;
}

}  // namespace pathshift
