#pragma once
// The writing reading of a program: every numbered block becomes at most one target motion line,
// preceded by the plunge block (retract, tool call, rapid to the start point) when a cut follows a
// rapid. The depth of each plunge comes from the levels a first reading measured.

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
    const ConversionError& error() const { return error_; }

private:
    bool plunge();
    // The motion line of a cutting block; the feed is copied from its F word when copyFeed.
    bool writeMotion(const TarvoBlock& block, bool copyFeed);
    // A dropped line or a block with a fault.
    bool takeOtherLine(const TarvoBlock& block);
    // The F, S and T words of a block holding any.
    void takeFeedSpeedTool(const TarvoBlock& block, bool metric);
    void noteDroppedLine(std::string_view line);
    bool fail(std::string reason);
    // A line of words: begun with its first G code, words appended, ended.
    void beginWords(int code) {
        words_.g[0] = code;
        words_.gCount = 1;
        words_.letters = 0;
    }
    template <class Value>
    void appendWord(Letter letter, Value value);
    // The word just written at [at, end), noted among the line's words; returns end.
    char* noted(char* at, char* end) { return noted(static_cast<char>(*at & ~0x20), at, end); }
    // The same for a word whose letter the caller knows; lower-case letters (the tool call's h)
    // read as their capitals. A line names each letter once.
    char* noted(char capital, char* at, char* end) {
        if (end != at) words_.put(capital, formatter_.writtenValue());
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
    WordFormatter formatter_;
    ConversionError error_;
    bool cutBeforeRapidNoted_ = false;
};

}  // namespace pathshift
