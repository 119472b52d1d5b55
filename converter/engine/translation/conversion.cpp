#include "engine/translation/conversion.h"

#include <cmath>

#include "engine/io/text_source.h"
#include "engine/reading/block_scan.h"
#include "engine/reading/depth_measure.h"
#include "engine/reading/number_text.h"
#include "engine/translation/program_frame.h"
#include "engine/translation/translator.h"

namespace pathshift {
namespace {

// Progress is reported about this often (bytes of source scanned).
constexpr std::size_t kProgressStep = std::size_t{4} << 20;

// The two readings of one file: the first measures the depth table, the second writes.
class FileScan {
public:
    FileScan(LineScanner& scanner, const TranslatorSettings& settings, const ToolLookup& tools, OutputText& out,
             ConversionReport& report, std::string_view thicknessText, const ConversionProgress& progress,
             std::size_t size, TargetLines* lines)
        : scanner_(scanner),
          settings_(settings),
          tools_(tools),
          out_(out),
          report_(report),
          thicknessText_(thicknessText),
          progress_(progress),
          size_(size),
          lines_(lines),
          measure_(settings.head) {}

    // False when the program cannot be converted: readError() is set when the source could not be
    // read, otherwise error() says why.
    bool run() {
        if (!measure()) return false;
        return write();
    }
    const std::string& readError() const { return scanner_.error(); }
    const ConversionError& error() const { return error_; }

private:
    // The first reading looks only at the Z and G words the depth table needs.
    bool measure() {
        measure_.begin();
        startProgress();
        if (!scanner_.rewind()) return false;
        std::string_view lines;
        while (scanner_.nextLines(lines)) {
            if (!measure_.takeLines(lines)) {
                nameFirstFault();
                return false;
            }
            progress(0, lines.data() + lines.size());
        }
        if (!scanner_.error().empty()) return false;
        measure_.end();
        return true;
    }

    // A fault found by the first reading may come after one in a word it skipped: a reading of
    // every word, tool calls included, names the first faulty line.
    void nameFirstFault() {
        TarvoBlockReader reader;
        measure_.begin();
        startProgress();
        bool named = false;
        const bool read = scanBlocks(scanner_, reader, [&](const TarvoBlock& block, std::size_t line) {
            WordFault fault;
            std::string toolReason;
            const bool taken = measure_.take(block, fault, [&](const TarvoMachine& machine) {
                ToolTableError tableError;
                if (tools_.translate(machine.tool, tableError)) return true;
                toolReason = "tool table row " + std::to_string(tableError.row) + ": " + tableError.reason;
                return false;
            });
            if (taken) return progress(0, block.text.data());
            named = true;
            error_ = {line, fault ? faultText(fault, FaultWording::Converter) : toolReason};
            return false;
        });
        // Read again without the fault, the text is not the one the first reading saw.
        if (read && !named) error_ = {0, std::string(kSourceChanged)};
    }

    bool write() {
        TarvoBlockReader reader;
        Translator translator(settings_, tools_, measure_.levels(), out_, report_, lines_);
        out_.clear();
        // The header names the units the whole program chose, which the first reading knows.
        appendHeader(out_, measure_.units(), thicknessText_);
        bool failed = false;
        startProgress();
        // Inline: the translator's step for every line, in the scanning loop.
        const bool watched = static_cast<bool>(progress_);
        const bool read = scanBlocks(scanner_, reader, [&, watched](const TarvoBlock& block, std::size_t line) __attribute__((always_inline)) {
            if (!translator.translate(block, line)) {
                failed = true;
                return false;
            }
            // The progress is told of the first line at or past the next step: at most once a step.
            if (watched && scanner_.offsetOf(block.text.data()) >= nextProgress_) [[unlikely]]
                progress(size_, block.text.data());
            return true;
        });
        translator.countLines();
        if (!read) return false;
        if (!measure_.levels().error().empty()) {
            error_ = {0, "the depth table: " + measure_.levels().error()};
            return false;
        }
        if (failed) {
            error_ = translator.error();
            return false;
        }
        if (report_.blocksTranslated == 0)
            report_.warn(0, WarningKind::NoBlocks,
                         "the program holds no numbered block (a line starting with N): the output is the header "
                         "and trailer alone");
        appendTrailer(out_);
        out_.endLine();  // the file ends with an empty line after the trailer
        if (progress_) progress_(2 * size_, 2 * size_);
        return true;
    }

    void startProgress() { nextProgress_ = kProgressStep; }
    // Where the scan has come to: `at` in the scanner's current run of lines.
    bool progress(std::size_t before, const char* at) {
        if (progress_ && scanner_.offsetOf(at) >= nextProgress_) {
            nextProgress_ += kProgressStep;
            progress_(before + scanner_.offsetOf(at), 2 * size_);
        }
        return true;
    }

    LineScanner& scanner_;
    const TranslatorSettings& settings_;
    const ToolLookup& tools_;
    OutputText& out_;
    ConversionReport& report_;
    std::string_view thicknessText_;
    const ConversionProgress& progress_;
    std::size_t size_;
    TargetLines* lines_;
    DepthMeasure measure_;
    ConversionError error_;
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

namespace {

// Depths and approach heights are the thickness less a segment's level, written in 15 significant
// digits: from 1e10 up the thickness would leave no room for their ten-thousandths, and every depth
// written would be off by the digits dropped.
constexpr double kThicknessBound = 1e10;

}  // namespace

std::optional<double> thicknessValue(std::string_view text) {
    std::optional<double> value = readStrictNumber(text);
    if (value && !(std::fabs(*value) < kThicknessBound)) return std::nullopt;
    return value;
}

std::string thicknessRefusal(std::string_view text) {
    const std::string quoted = "the thickness \"" + std::string(text) + "\"";
    if (readStrictNumber(text))
        return quoted + " is too large: depths are written to a ten-thousandth only for a thickness below 10000000000";
    return quoted + " is not a number (digits with at most one point, an optional sign and exponent)";
}


namespace {

bool convertScanned(LineScanner& scanner, TextSource* source, std::size_t size, const ConversionOptions& options,
                    OutputSink& sink, ConversionReport& report, ConversionError& error,
                    const ConversionProgress& progress, TargetLines* lines = nullptr) {
    report = ConversionReport{};
    error = ConversionError{};
    std::optional<double> thickness = thicknessValue(options.thickness);
    if (!thickness) {
        error.reason = thicknessRefusal(options.thickness);
        return false;
    }
    TranslatorSettings settings{options.head, options.dfs, options.ipsFeed, *thickness};
    ToolLookup tools(options.tools);
    OutputText out(&sink, lines);
    FileScan scan(scanner, settings, tools, out, report, options.thickness, progress, size, lines);
    if (!scan.run()) {
        if (!scan.readError().empty()) {
            error = {0, scan.readError()};
        } else {
            error = scan.error();
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
                    ConversionReport& report, ConversionError& error, const ConversionProgress& progress,
                    TargetLines* lines) {
    LineScanner scanner(source);
    return convertScanned(scanner, &source, source.size(), options, sink, report, error, progress, lines);
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
