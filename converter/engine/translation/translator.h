#pragma once
// The writing reading of a program: every numbered block becomes at most one target motion line,
// preceded by the plunge block (retract, tool call, rapid to the start point) when a cut follows a
// rapid. The depth of each plunge comes from the levels a first reading measured.

#include <cmath>
#include <cstdint>
#include <optional>

#include "engine/io/output_text.h"
#include "engine/reading/tarvo_machine.h"
#include "engine/translation/conversion_report.h"
#include "engine/translation/selvix_words.h"
#include "engine/translation/tool_table.h"
#include "engine/translation/word_formatter.h"

namespace pathshift {

struct TranslatorSettings {
    Head head = Head::One;
    bool dfs = false;
    bool ipsFeed = false;
    double thickness = 0;  // the thickness read as a number
};

class Translator {
public:
    // `lines`, when given, is told of the words of every line written as words (the output's own
    // watcher sees the others).
    Translator(const TranslatorSettings& settings, const ToolLookup& tools, const SegmentLevels& levels,
               OutputText& out, ConversionReport& report, TargetLines* lines = nullptr)
        : settings_(settings),
          tools_(tools),
          levels_(levels),
          out_(out),
          report_(report),
          lines_(lines),
          machine_(settings.head),
          level_(levels.level(0)) {}

    // One line's block; false when the program cannot be translated (error() says why).
    bool translate(const TarvoBlock& block, std::size_t lineNumber);
    // After the last block taken: the report's count of lines read, the blocks and dropped lines
    // (a line with a NUL is neither), is not kept line by line.
    void countLines() { report_.linesRead = report_.blocksTranslated + report_.linesDropped; }
    const ConversionError& error() const { return error_; }

private:
    // The longest motion line: G1 to G3 and six words.
    static constexpr std::size_t kMaxMotionLine = 2 + 6 * WordFormatter::kMaxWord;

    bool plunge();
    // The motion line of a cutting block; the feed is copied from its F word when copyFeed. Its
    // words are noted when a listener (lines_) is told of them: decided once a line.
    template <bool kListened>
    bool writeMotion(const TarvoBlock& block, bool copyFeed);
    // A dropped line or a block with a fault.
    bool takeOtherLine(const TarvoBlock& block);
    // The S and T words of a block holding either.
    void takeSpeedTool(const TarvoBlock& block);
    void noteDroppedLine(std::string_view line);
    // The X and Y words of the last block that did not cut, kept for the plunge's rapid to the
    // start point: where a word's held value is the start point's, its digits are copied as a
    // motion line's are.
    struct KeptWord {
        TarvoWord word;  // its text is `text` + 1 when its shape is copied, else its shape is cleared
        char text[16];   // the letter, then the number text: copied texts are at most 9 bytes
    };
    void keepStartWords(const TarvoBlock& block);
    char* appendStartWord(Letter letter, const KeptWord& kept, float start, char* at);
    bool fail(std::string reason);
    // A line of words: begun with its first G code, words appended, ended.
    void beginWords(int code) {
        words_.g[0] = code;
        words_.gCount = 1;
        words_.letters = 0;
    }
    // The word for `value` written at `at`; returns its end.
    template <class Value>
    char* appendWord(Letter letter, Value value, char* at);
    // The word just written at [at, end), noted among the line's words when a listener is told
    // of them; returns end.
    char* noted(char* at, char* end) { return lines_ ? noted(static_cast<char>(*at & ~0x20), at, end) : end; }
    // The same for a word whose letter the caller knows; lower-case letters (the tool call's h)
    // read as their capitals. A line names each letter once.
    template <bool kListened = true>
    char* noted(char capital, char* at, char* end) {
        if (kListened && end != at) words_.put(capital, formatter_.writtenValue());
        return end;
    }
    void endWords(char* end) { endLine(end, words_); }
    // A line ended at `end` (or of fixed text) whose words are `words`.
    void endLine(char* end, const SelvixWords& words) {
        if (!lines_) {
            out_.endLine(end);
            return;
        }
        out_.endLineUnwatched(end);
        lines_->wordsLine(words);
    }
    void fixedLine(std::string_view text, const SelvixWords& words);

    const TranslatorSettings& settings_;
    const ToolLookup& tools_;
    const SegmentLevels& levels_;
    OutputText& out_;
    ConversionReport& report_;
    TargetLines* lines_;
    SelvixWords words_;

    std::size_t lineNumber_ = 0;
    TarvoMachine machine_;
    float feed_ = 0;   // the last F word, per second for inch programs with the IPS feed option
    float speed_ = 0;  // the last S word
    std::size_t plunges_ = 0;
    double level_ = 0;  // of the current segment: levels_.level(plunges_), looked up at each plunge
    double depth_ = 0;                   // of the current segment, as its tool call names it
    std::optional<double> lastDepth_;    // of the last full tool block
    std::int16_t lastTool_ = 0;          // translated tool of the last plunge block
    // The last tool looked up in the table and its translation: plunge after plunge calls the same.
    std::int16_t lookedUpTool_ = 0;
    std::optional<ToolTranslation> lookedUp_;
    WordFormatter formatter_;
    ConversionError error_;
    // A G word's fault: set only as the translation stops, so it need not be cleared line by line.
    WordFault gFault_;
    bool cutBeforeRapidNoted_ = false;
    KeptWord keptX_, keptY_;
};

// X, Y and arc centres change sign; Z is written relative to the segment's lowest level.
// Inline: the one caller is translate(), nearly every block of a program.
template <bool kListened>
[[gnu::always_inline]] inline bool Translator::writeMotion(const TarvoBlock& block, bool copyFeed) {
    const TarvoMachine& m = machine_;
    if (plunges_ == 0 && !cutBeforeRapidNoted_) [[unlikely]] {
        cutBeforeRapidNoted_ = true;
        report_.warn(lineNumber_, WarningKind::CutBeforeRapid,
                     "cutting move before the first rapid (G0): no tool call precedes it");
    }
    // The words of this block are written from their source text where they can be.
    const auto word = [&](Letter letter, char capital, TarvoLetter source, float held, char* at) __attribute__((always_inline)) {
        if (block.has(source))
            return noted<kListened>(capital, at, formatter_.write<kListened>(letter, block, source, true, at));
        return noted<kListened>(capital, at, formatter_.write(letter, -held, at));
    };
    const auto value = [&](Letter letter, char capital, auto held, char* at) __attribute__((always_inline)) {
        return noted<kListened>(capital, at, formatter_.write(letter, held, at));
    };
    if (kListened) beginWords(m.motion);
    char* p = out_.lineRoom(kMaxMotionLine);
    *p++ = 'G';
    *p++ = static_cast<char>('0' + m.motion);
    p = word(Letter::X, 'X', TarvoLetter::X, m.pos.x, p);
    p = word(Letter::Y, 'Y', TarvoLetter::Y, m.pos.y, p);
    p = value(Letter::Z, 'Z', static_cast<double>(m.pos.z) - level_, p);
    if (m.motion != 1) {
        // Nothing is written before the line ends, so a failure here leaves no trace.
        const float centreX = -(m.last.x + m.i), centreY = -(m.last.y + m.j);
        if (!std::isfinite(centreX) || !std::isfinite(centreY)) [[unlikely]]
            return fail("the arc centre is beyond the range of a 32-bit float");
        if (!m.centre)
            report_.warn(lineNumber_, WarningKind::ArcWithoutCentre,
                         "arc block without I or J: its centre is its start point");
        p = value(Letter::I, 'I', centreX, p);
        p = value(Letter::J, 'J', centreY, p);
    }
    p = copyFeed ? noted<kListened>('F', p, formatter_.write<kListened>(Letter::F, block, TarvoLetter::F, false, p))
                 : value(Letter::F, 'F', feed_, p);
    if (kListened) {
        endWords(p);
    } else {
        out_.endLine(p);
    }
    return true;
}

// Inline: the scanning loop calls it for every line.
[[gnu::always_inline]] inline bool Translator::translate(const TarvoBlock& block, std::size_t lineNumber) {
    lineNumber_ = lineNumber;
    if (block.kind != TarvoBlock::Kind::Numbered || block.fault) [[unlikely]]
        return takeOtherLine(block);
    ++report_.blocksTranslated;

    TarvoMachine& m = machine_;
    m.takeWords(block);
    bool copyFeed = false;
    if (block.has(TarvoLetter::F)) {
        feed_ = block.word(TarvoLetter::F).held;
        // The F word's source text is the feed's in millimetres (the units before this block's G
        // words) or without the IPS feed option; else the feed is per second.
        copyFeed = m.units == UnitsWord::G71 || !settings_.ipsFeed;
        if (!copyFeed) feed_ = feed_ / 60.0f;
    }
    if (block.present & (letterBit(TarvoLetter::S) | letterBit(TarvoLetter::T))) [[unlikely]]
        takeSpeedTool(block);
    if (block.gCount != 0) {
        if (!m.takeGWords(block, gFault_, [this] { return plunge(); })) {
            if (gFault_) fail(faultText(gFault_, FaultWording::Converter));
            return false;
        }
    }
    if (m.cutting()) {
        if (!(lines_ ? writeMotion<true>(block, copyFeed) : writeMotion<false>(block, copyFeed))) return false;
    } else if (block.present & (letterBit(TarvoLetter::X) | letterBit(TarvoLetter::Y))) {
        keepStartWords(block);
    }
    m.endBlock();
    return true;
}

}  // namespace pathshift
