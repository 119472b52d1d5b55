#include "engine/toolpath/verifier.h"

#include <cmath>
#include <deque>

#include "engine/toolpath/move_compare.h"
#include "engine/toolpath/selvix_reader.h"

namespace pathshift {
namespace {

// How far ahead either side is searched for the move that brings the two back in step after a
// move missing on one side. Also the most moves of either side held at a time.
constexpr std::size_t kWindow = 8;

// Takes the source's moves as the replay hands them out and pulls the target's to match.
class Comparer final : public MoveSink {
public:
    Comparer(SelvixReader& target, VerifyReport& report) : target_(target), report_(report) {}

    // Header facts both programs must agree on; the target's header has been read by now.
    void begin(const ToolpathInfo& source) override {
        const ToolpathInfo& target = target_.info();
        if (source.units != target.units)
            report_.add(0, 0, "units: " + std::string(unitsName(source.units)) + " in the source, " +
                                  std::string(unitsName(target.units)) + " in the target");
        if (std::fabs(source.thickness - target.thickness) > kFloatPrecision * std::fabs(source.thickness))
            report_.add(0, 0, "thickness: " + shownNumber(source.thickness) + " for the conversion, " +
                                  shownNumber(target.thickness) + " in the target's header");
    }

    bool move(const Move& move) override {
        if (!move.cutting()) {
            sourceAfterRapid_ = true;
            return true;
        }
        source_.push_back({move, sourceAfterRapid_});
        sourceAfterRapid_ = false;
        ++report_.movesChecked;
        settle(false);
        return !targetFailed_;
    }

    void finish() { settle(true); }
    bool targetFailed() const { return targetFailed_; }

private:
    // Fills the target's window; a target line that cannot be read ends the comparison.
    void pull() {
        while (!targetEnded_ && targetCuts_.size() < kWindow) {
            Move move;
            if (!target_.next(move)) {
                targetEnded_ = true;
                targetFailed_ = !target_.error().reason.empty();
                return;
            }
            if (!move.cutting()) {
                targetAfterRapid_ = true;
                continue;
            }
            targetCuts_.push_back({move, targetAfterRapid_});
            targetAfterRapid_ = false;
        }
    }

    // A missing move is reported at the target line that stands where it should have been.
    void missing(const Cut& cut) {
        const std::size_t next = targetCuts_.empty() ? 0 : targetCuts_.front().move.targetLine;
        report_.add(cut.move.sourceLine, next,
                    std::string("the source's ") + std::string(moveKindName(cut.move.kind)) + " to X" +
                        shownNumber(cut.move.end.x) + " Y" + shownNumber(cut.move.end.y) + " Z" +
                        shownNumber(cut.move.end.z) + " has no counterpart in the target");
    }
    void extra(const Cut& cut) {
        const std::size_t next = source_.empty() ? 0 : source_.front().move.sourceLine;
        report_.add(next, cut.move.targetLine,
                    std::string("the target's ") + std::string(moveKindName(cut.move.kind)) + " to X" +
                        shownNumber(cut.move.end.x) + " Y" + shownNumber(cut.move.end.y) + " Z" +
                        shownNumber(cut.move.end.z) + " has no counterpart in the source");
    }

    // The nearest pair of moves (a from the source, b from the target) that match, with their
    // successors where both sides have them, so that one coincidence does not resynchronise.
    bool findStep(std::size_t& a, std::size_t& b) const {
        for (std::size_t sum = 1; sum < source_.size() + targetCuts_.size(); ++sum) {
            for (std::size_t i = 0; i <= sum; ++i) {
                const std::size_t j = sum - i;
                if (i >= source_.size() || j >= targetCuts_.size()) continue;
                if (!sameCut(source_[i], targetCuts_[j])) continue;
                if (i + 1 < source_.size() && j + 1 < targetCuts_.size() &&
                    !sameCut(source_[i + 1], targetCuts_[j + 1]))
                    continue;
                a = i;
                b = j;
                return true;
            }
        }
        return false;
    }

    void settle(bool final) {
        for (;;) {
            if (targetFailed_) {
                source_.clear();
                return;
            }
            pull();
            if (source_.empty()) {
                if (!final) return;
                while (!targetCuts_.empty()) {
                    extra(targetCuts_.front());
                    targetCuts_.pop_front();
                    pull();
                }
                return;
            }
            if (targetCuts_.empty()) {
                if (targetFailed_) continue;
                missing(source_.front());
                source_.pop_front();
                continue;
            }
            if (sameCut(source_.front(), targetCuts_.front())) {
                source_.pop_front();
                targetCuts_.pop_front();
                continue;
            }
            if (!final && source_.size() < kWindow) return;  // more of the source decides
            std::size_t a = 0, b = 0;
            const bool found = findStep(a, b);
            if (found && a == 0) {
                for (; b > 0; --b) {
                    extra(targetCuts_.front());
                    targetCuts_.pop_front();
                }
            } else if (found && b == 0) {
                for (; a > 0; --a) {
                    missing(source_.front());
                    source_.pop_front();
                }
            } else {
                const Cut& s = source_.front();
                const Cut& t = targetCuts_.front();
                report_.add(s.move.sourceLine, t.move.targetLine, cutDifference(s, t));
                source_.pop_front();
                targetCuts_.pop_front();
            }
        }
    }

    SelvixReader& target_;
    VerifyReport& report_;
    std::deque<Cut> source_;
    std::deque<Cut> targetCuts_;
    bool sourceAfterRapid_ = true;
    bool targetAfterRapid_ = true;
    bool targetEnded_ = false;
    bool targetFailed_ = false;
};

template <typename Source>
bool verifyWith(Source& source, SelvixReader& target, const ConversionOptions& options, VerifyReport& report,
                ReplayError& error) {
    report = VerifyReport{};
    error = {};
    Comparer comparer(target, report);
    // A converted program that cannot be read is not verified at all; counting it as one
    // difference would hide why.
    const auto targetUnreadable = [&] {
        error = {0, "the converted program cannot be read" +
                        (target.error().line > 0 ? " at its line " + std::to_string(target.error().line) : "") +
                        ": " + target.error().reason};
        return false;
    };
    if (!target.begin()) return targetUnreadable();
    const bool replayed = replayTarvo(source, options, comparer, error);
    if (comparer.targetFailed()) return targetUnreadable();
    if (!replayed) return false;
    comparer.finish();
    return !comparer.targetFailed() || targetUnreadable();
}

}  // namespace

void VerifyReport::add(std::size_t sourceLine, std::size_t targetLine, std::string text) {
    ++differenceCount;
    if (differences.size() < kListed) differences.push_back({sourceLine, targetLine, std::move(text)});
}

bool verifyConversion(TextSource& source, TextSource& target, const ConversionOptions& options, VerifyReport& report,
                      ReplayError& error) {
    SelvixReader reader(target);
    return verifyWith(source, reader, options, report, error);
}

bool verifyConversion(std::string_view source, std::string_view target, const ConversionOptions& options,
                      VerifyReport& report, ReplayError& error) {
    SelvixReader reader(target);
    return verifyWith(source, reader, options, report, error);
}

VerifyResult verifyProgram(std::string_view source, const ConversionOptions& options) {
    VerifyResult result;
    ConversionResult converted = convertProgram(source, options);
    result.conversion = std::move(converted.report);
    if (!converted.converted) {
        result.error = std::move(converted.error);
        return result;
    }
    ReplayError replayError;
    if (!verifyConversion(source, converted.text, options, result.report, replayError)) {
        result.error = {replayError.line, replayError.reason};
        return result;
    }
    result.verified = true;
    return result;
}

}  // namespace pathshift
