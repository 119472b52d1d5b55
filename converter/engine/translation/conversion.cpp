#include "engine/translation/conversion.h"

#include "engine/reading/line_scanner.h"
#include "engine/reading/number_text.h"
#include "engine/translation/program_frame.h"
#include "engine/translation/translator.h"

namespace pathshift {
namespace {

// Progress is reported about this often (bytes of source scanned).
constexpr std::size_t kProgressStep = std::size_t{4} << 20;

// The scanner's events for one file: begin-of-file resets, the line event translates, end-of-file
// closes the depth table after the first scan and the program after the second.
class FileScan final : public LineScanner::Events {
public:
    FileScan(LineScanner& scanner, Translator& translator, OutputText& out, ConversionReport& report,
             std::string_view thicknessText, const ConversionProgress& progress, std::size_t size)
        : scanner_(scanner),
          translator_(translator),
          report_(report),
          out_(out),
          thicknessText_(thicknessText),
          progress_(progress),
          size_(size) {}

    // False when the program cannot be converted: readError() is set when the source could not be
    // read, otherwise the translator's error says why.
    bool run() {
        firstPass_ = true;
        quick_ = true;
        if (!scan()) return false;
        if (failed_) {
            // The quick scan reads only some words: a full one names the first faulty line.
            failed_ = false;
            quick_ = false;
            scan();
            return false;
        }
        firstPassUnits_ = translator_.state().unitsWord;
        firstPass_ = false;
        return scan() && !failed_;
    }
    const std::string& readError() const { return scanner_.error(); }

    void beginOfFile() override {
        out_.clear();
        translator_.beginScan(firstPass_, quick_);
        // The header names the units the whole program chose. Both scans start from the same state
        // and meet the same words, so the first scan already knows them and the header can go out
        // before the body instead of being put in front of it at the end.
        if (!firstPass_) appendHeader(out_, firstPassUnits_, thicknessText_);
        nextProgress_ = kProgressStep;
    }

    void line() override {
        if (!translator_.translateLine(scanner_)) {
            failed_ = true;
            scanner_.stop();
            return;
        }
        if (progress_ && scanner_.lineOffset() >= nextProgress_) {
            nextProgress_ += kProgressStep;
            progress_((firstPass_ ? 0 : size_) + scanner_.lineOffset(), 2 * size_);
        }
    }

    void endOfFile() override {
        if (firstPass_) {
            translator_.endFirstScan();
            return;
        }
        if (report_.blocksTranslated == 0)
            report_.warn(0, WarningKind::NoBlocks,
                         "the program holds no numbered block (a line starting with N): the output is the header "
                         "and trailer alone");
        appendTrailer(out_);
        out_.endLine();  // the file ends with an empty line after the trailer
        if (progress_) progress_(2 * size_, 2 * size_);
    }

private:
    bool scan() {
        if (scanner_.start(*this)) return true;
        failed_ = true;
        return false;
    }

    LineScanner& scanner_;
    Translator& translator_;
    ConversionReport& report_;
    OutputText& out_;
    std::string_view thicknessText_;
    const ConversionProgress& progress_;
    std::size_t size_;
    bool firstPass_ = true;
    bool quick_ = true;
    bool failed_ = false;
    UnitsWord firstPassUnits_ = UnitsWord::None;
    std::size_t nextProgress_ = 0;
};

const char* warningSummary(std::size_t count) { return count == 1 ? " warning" : " warnings"; }

class StringSink final : public OutputSink {
public:
    explicit StringSink(std::string& text) : text_(text) {}
    bool write(std::string_view text) override {
        text_.append(text);
        return true;
    }

private:
    std::string& text_;
};

}  // namespace

std::optional<double> thicknessValue(std::string_view text) { return readStrictNumber(text); }

std::string thicknessRefusal(std::string_view text) {
    return "the thickness \"" + std::string(text) +
           "\" is not a number (digits with at most one point, an optional sign and exponent)";
}

void ConversionReport::warn(std::size_t line, WarningKind kind, std::string text) {
    ++perKind[static_cast<int>(kind)];
    if (perKind[static_cast<int>(kind)] > kListedPerKind) {
        ++unlistedWarnings;
        return;
    }
    warnings.push_back({line, kind, std::move(text)});
}

namespace {

bool convertScanned(LineScanner& scanner, TextSource* source, std::size_t size, const ConversionOptions& options,
                    OutputSink& sink, ConversionReport& report, ConversionError& error,
                    const ConversionProgress& progress) {
    report = ConversionReport{};
    error = ConversionError{};
    std::optional<double> thickness = thicknessValue(options.thickness);
    if (!thickness) {
        error.reason = thicknessRefusal(options.thickness);
        return false;
    }
    TranslatorSettings settings{options.head, options.dfs, options.ipsFeed, *thickness};
    ToolLookup tools(options.tools);
    OutputText out(&sink);
    Translator translator(settings, tools, out, report);
    FileScan scan(scanner, translator, out, report, options.thickness, progress, size);
    if (!scan.run()) {
        if (!scan.readError().empty()) {
            error = {0, scan.readError()};
        } else {
            error = translator.error();
        }
        return false;
    }
    // The scans must have read the same text, or the depths written belong to another program.
    if (source && !source->sameAsLastScan(error.reason)) return false;
    if (options.strict && report.warningCount() > 0) {
        error.line = report.warnings.front().line;
        error.reason = "strict mode: " + std::to_string(report.warningCount()) +
                       warningSummary(report.warningCount()) + ", the first: " + report.warnings.front().text;
        return false;
    }
    if (!out.flush()) {
        error.reason = "the converted program could not be written";
        return false;
    }
    return true;
}

}  // namespace

bool convertProgram(std::string_view source, const ConversionOptions& options, OutputSink& sink,
                    ConversionReport& report, ConversionError& error, const ConversionProgress& progress) {
    LineScanner scanner(source);
    return convertScanned(scanner, nullptr, source.size(), options, sink, report, error, progress);
}

bool convertProgram(TextSource& source, const ConversionOptions& options, OutputSink& sink,
                    ConversionReport& report, ConversionError& error, const ConversionProgress& progress) {
    LineScanner scanner(source);
    return convertScanned(scanner, &source, source.size(), options, sink, report, error, progress);
}

ConversionResult convertProgram(std::string_view source, const ConversionOptions& options) {
    ConversionResult result;
    result.text.reserve(source.size() + source.size() / 4 + 4096);  // targets are about as long as sources
    StringSink sink(result.text);
    result.converted = convertProgram(source, options, sink, result.report, result.error);
    if (!result.converted) result.text.clear();
    return result;
}

}  // namespace pathshift
