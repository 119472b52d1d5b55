#pragma once
// The line translator: one numbered source block becomes at most one target motion line, preceded
// by the plunge block (retract, tool call, rapid to the start point) when a cut follows a rapid.

#include <cstdint>

#include "engine/translation/conversion.h"
#include "engine/reading/line_scanner.h"
#include "engine/io/output_text.h"
#include "engine/translation/tool_table.h"
#include "engine/translation/translation_state.h"
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
    Translator(const TranslatorSettings& settings, const ToolLookup& tools, OutputText& out,
               ConversionReport& report)
        : settings_(settings), tools_(tools), out_(out), report_(report) {}

    // The begin-of-file resets. The first scan measures (and writes nothing), the second writes.
    // A quick first scan reads only what the depth table needs (Z and G words); it finds errors in
    // those words only, so a failed quick scan is repeated in full to name the first faulty line.
    void beginScan(bool firstPass, bool quick = false);
    // The line event; false when the line cannot be translated (error() says why).
    bool translateLine(LineScanner& scanner);
    // The end of the first scan closes the depth table.
    void endFirstScan();

    const TranslationState& state() const { return state_; }
    const ConversionError& error() const { return error_; }

private:
    bool readWord(LineScanner& scanner, char letter, double& value);
    bool holdAsFloat(double value, char letter, float& out);
    [[gnu::noinline, gnu::cold]] void wordOverflow(char letter);
    [[gnu::noinline, gnu::cold]] void floatOverflow(double value, char letter);
    bool measureLine(LineScanner& scanner);
    bool applyGWords(LineScanner& scanner);
    bool plungeStep();
    void recordSegment();
    bool writeMotion(bool hasCentre, float i, float j);
    void noteDroppedLine(std::string_view line);
    bool fail(std::string reason);
    void appendWord(std::string_view word) { out_.append(word); }

    const TranslatorSettings& settings_;
    const ToolLookup& tools_;
    OutputText& out_;
    ConversionReport& report_;

    bool firstPass_ = true;
    bool quick_ = false;
    std::size_t lineNumber_ = 0;
    TranslationState state_;
    SegmentState segments_;
    WordFormatter formatter_;
    ConversionError error_;
    bool cutBeforeRapidNoted_ = false;
};

}  // namespace pathshift
