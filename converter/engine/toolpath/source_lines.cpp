#include "engine/toolpath/source_lines.h"

#include <deque>

#include "engine/toolpath/selvix_reader.h"

namespace pathshift {
namespace {

// The source's rapids kept between two cuts; a source of nothing but rapids is not searched whole.
constexpr std::size_t kRapidsKept = 64;

// Takes the source's moves as its replay hands them out and pulls the target's to match.
class LinePairing final : public MoveSink {
public:
    LinePairing(SelvixReader& target, MoveSink& sink) : target_(target), sink_(sink) {}

    bool move(const Move& move) override {
        if (!move.cutting()) {
            if (rapids_.size() == kRapidsKept) rapids_.pop_front();
            rapids_.push_back(move);
            return true;
        }
        // The target's rapids up to its next cut, then that cut: the counterpart of this one.
        Move next;
        while (pull(next)) {
            if (next.cutting()) {
                next.sourceLine = move.sourceLine;
                rapids_.clear();
                return emit(next);
            }
            if (!emit(withRapidLine(next))) return false;
        }
        return false;
    }

    // The target's moves after the source's last cut.
    bool finish() {
        Move next;
        while (pull(next))
            if (!emit(next.cutting() ? next : withRapidLine(next))) return true;
        return target_.error().reason.empty();
    }

    bool stopped() const { return stopped_; }

private:
    bool pull(Move& move) {
        if (stopped_ || ended_) return false;
        ended_ = !target_.next(move);
        return !ended_;
    }

    bool emit(const Move& move) {
        if (!sink_.move(move)) stopped_ = true;
        return !stopped_;
    }

    Move withRapidLine(Move move) const {
        double best = 0;
        for (const Move& rapid : rapids_) {
            const double dx = rapid.end.x - move.end.x, dy = rapid.end.y - move.end.y;
            const double distance = dx * dx + dy * dy;
            if (move.sourceLine == 0 || distance < best) {
                best = distance;
                move.sourceLine = rapid.sourceLine;
            }
        }
        return move;
    }

    SelvixReader& target_;
    MoveSink& sink_;
    std::deque<Move> rapids_;
    bool stopped_ = false;  // the sink wants no more
    bool ended_ = false;    // the target has no more, or a line of it cannot be read
};

}  // namespace

bool replayWithSourceLines(TextSource& source, const ConversionOptions& options, TextSource& target,
                           MoveSink& sink, ReplayError& sourceError, ReplayError& targetError) {
    sourceError = targetError = {};
    SelvixReader reader(target, &sink);  // the sink hears of tool calls too (machining time)
    if (!reader.begin()) {
        targetError = reader.error();
        return false;
    }
    sink.begin(reader.info());
    LinePairing pairing(reader, sink);
    if (!replayTarvo(source, options, pairing, sourceError)) return false;
    if (pairing.stopped() || pairing.finish()) return true;
    targetError = reader.error();
    return false;
}

}  // namespace pathshift
