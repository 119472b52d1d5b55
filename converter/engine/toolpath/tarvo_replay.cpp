// A Tarvo program replayed as the translator reads it: the same accepted lines, the same words in
// the same order, the same 32-bit values, the same plunges and segment levels, the same tools.

#include <cmath>
#include <string>

#include "engine/reading/block_scan.h"
#include "engine/reading/depth_measure.h"
#include "engine/toolpath/toolpath.h"

namespace pathshift {
namespace {

Units unitsOf(UnitsWord word) {
    return word == UnitsWord::G70 ? Units::Inch : word == UnitsWord::G71 ? Units::Millimetre : Units::Unknown;
}

class TarvoReplay {
public:
    TarvoReplay(LineScanner& scanner, const ConversionOptions& options, double thickness, MoveSink& sink)
        : scanner_(scanner), tools_(options.tools), thickness_(thickness), sink_(sink),
          measure_(options.head), machine_(options.head) {}

    bool run(ReplayError& error) {
        if (!measure()) return failure(error);
        if (!replay()) return failure(error);
        return true;
    }

private:
    // The first reading, as the converter's: the depth table from the Z and G words.
    bool measure() {
        measure_.begin();
        if (!scanner_.rewind()) return readFailure();
        std::string_view lines;
        while (scanner_.nextLines(lines))
            if (!measure_.takeLines(lines)) return nameFault();
        if (!scanner_.error().empty()) return readFailure();
        measure_.end();
        return true;
    }

    // The fault the first reading stopped at, named from the blocks of the Z and G words.
    bool nameFault() {
        TarvoBlockReader reader(letterBit(TarvoLetter::Z));
        measure_.begin();
        bool named = false;
        if (!scanBlocks(scanner_, reader, [&](const TarvoBlock& block, std::size_t line) {
                WordFault fault;
                if (measure_.take(block, fault)) return true;
                named = true;
                error_ = {line, faultText(fault, FaultWording::Replay)};
                return false;
            }))
            return readFailure();
        if (!named) error_ = {0, std::string(kSourceChanged)};  // the text read again is not the text read
        return false;
    }

    bool replay() {
        TarvoBlockReader reader;
        sink_.begin(ToolpathInfo{unitsOf(measure_.units()), thickness_});
        bool failed = false;
        if (!scanBlocks(scanner_, reader, [&](const TarvoBlock& block, std::size_t line) {
                line_ = line;
                failed = !take(block);
                return !failed;
            }))
            return readFailure();
        if (!measure_.levels().error().empty()) {
            error_ = {0, "the depth table: " + measure_.levels().error()};
            return false;
        }
        return !failed || stoppedBySink_;
    }

    bool readFailure() {
        error_ = {0, scanner_.error()};
        return false;
    }
    bool failure(ReplayError& error) const {
        error = error_;
        return false;
    }
    bool fail(std::string reason) {
        error_ = {line_, std::move(reason)};
        return false;
    }

    bool take(const TarvoBlock& block) {
        if (block.fault.kind == WordFault::Kind::Nul) return fail(faultText(block.fault, FaultWording::Replay));
        if (block.kind != TarvoBlock::Kind::Numbered) return true;
        if (block.fault) return fail(faultText(block.fault, FaultWording::Replay));
        TarvoMachine& m = machine_;
        m.takeWords(block);
        WordFault fault;
        if (!m.takeGWords(block, fault, [this] { return plunge(); })) {
            if (fault) fail(faultText(fault, FaultWording::Replay));
            return false;
        }
        bool go = true;
        if (m.cutting()) {
            go = emitCut();
        } else if (m.pos != m.last) {
            go = emit(MoveKind::Rapid, 0, 0);
        }
        m.endBlock();
        if (!go && error_.reason.empty()) stoppedBySink_ = true;
        return go;
    }

    bool plunge() {
        ++plunges_;
        ToolTableError tableError;
        const std::optional<ToolTranslation> tool = tools_.translate(machine_.tool, tableError);
        if (!tool) return fail("tool table row " + std::to_string(tableError.row) + ": " + tableError.reason);
        segmentTool_ = tool->tool;
        return true;
    }

    bool emitCut() {
        const TarvoMachine& m = machine_;
        const MoveKind kind = m.motion == 1   ? MoveKind::Line
                              : m.motion == 2 ? MoveKind::ArcClockwise
                                              : MoveKind::ArcCounterClockwise;
        if (kind == MoveKind::Line) return emit(kind, 0, 0);
        // The centre as the converter sums it: start plus offset in 32-bit floats.
        const float cx = m.last.x + m.i;
        const float cy = m.last.y + m.j;
        if (!std::isfinite(cx) || !std::isfinite(cy)) return fail("the arc centre is beyond the range of a 32-bit float");
        return emit(kind, cx, cy);
    }

    bool emit(MoveKind kind, double cx, double cy) {
        const TarvoMachine& m = machine_;
        Move move;
        move.kind = kind;
        move.start = {m.last.x, m.last.y, m.last.z};
        move.end = {m.pos.x, m.pos.y, m.pos.z};
        move.centreX = cx;
        move.centreY = cy;
        move.tool = segmentTool_;
        move.depth = measure_.levels().level(plunges_) - thickness_;
        move.sourceLine = line_;
        return sink_.move(move);
    }

    LineScanner& scanner_;
    ToolLookup tools_;
    double thickness_;
    MoveSink& sink_;
    DepthMeasure measure_;
    TarvoMachine machine_;

    std::size_t line_ = 0;
    bool stoppedBySink_ = false;
    ReplayError error_;
    std::size_t plunges_ = 0;
    std::int16_t segmentTool_ = 0;  // the translated tool of the current segment's plunge
};

bool replayScanned(LineScanner& scanner, const ConversionOptions& options, MoveSink& sink, ReplayError& error) {
    error = {};
    const std::optional<double> thickness = thicknessValue(options.thickness);
    if (!thickness) {
        error.reason = thicknessRefusal(options.thickness);
        return false;
    }
    TarvoReplay replay(scanner, options, *thickness, sink);
    return replay.run(error);
}

}  // namespace

bool replayTarvo(TextSource& source, const ConversionOptions& options, MoveSink& sink, ReplayError& error) {
    LineScanner scanner(source);
    return replayScanned(scanner, options, sink, error);
}

bool replayTarvo(std::string_view text, const ConversionOptions& options, MoveSink& sink, ReplayError& error) {
    LineScanner scanner(text);
    return replayScanned(scanner, options, sink, error);
}

}  // namespace pathshift
