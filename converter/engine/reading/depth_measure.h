#pragma once
// The first reading of a program: it follows the blocks only as far as the depth table needs (the
// Z and G words, given a reader of those) and measures every segment's lowest level.

#include <cstdint>
#include <string_view>

#include "engine/reading/g_word.h"
#include "engine/reading/tarvo_machine.h"

namespace pathshift {

class DepthMeasure {
public:
    // The processor's widest vector code is used unless `widest` is false, which keeps to the
    // baseline code processors without AVX2 run.
    explicit DepthMeasure(Head head, bool widest = true) : head_(head), widest_(widest), machine_(head) {}

    void begin() {
        machine_ = TarvoMachine(head_);
        levels_.begin();
    }
    // One line's block. `checkPlunge(machine)` sees each plunge first and returns false to stop.
    // False on a fault of the block (`fault` says which) or a stop.
    template <class CheckPlunge>
    bool take(const TarvoBlock& block, WordFault& fault, CheckPlunge&& checkPlunge) {
        if (block.fault.kind == WordFault::Kind::Nul) {
            fault = block.fault;
            return false;
        }
        if (block.kind != TarvoBlock::Kind::Numbered) return true;
        if (block.fault) {
            fault = block.fault;
            return false;
        }
        machine_.takeWords(block);
        const bool taken = machine_.takeGWords(block, fault, [&] {
            if (!checkPlunge(machine_)) return false;
            levels_.plunge();
            return true;
        });
        if (!taken) return false;
        levels_.measure(machine_);
        machine_.endBlock();
        return true;
    }
    bool take(const TarvoBlock& block, WordFault& fault) {
        return take(block, fault, [](const TarvoMachine&) { return true; });
    }
    // A run of whole lines (LineScanner::nextLines), taken as their blocks from a reader of Z and G
    // would be, but looking only at Z, G, "(", NUL and line ends: a line holding neither Z nor G
    // changes nothing. False at the first fault (a Z or G word beyond range in a taken line, a NUL
    // anywhere): a reading of the blocks names it. Of the machine it keeps only what the depth
    // table and the units need.
    bool takeLines(std::string_view lines);
    void end() { levels_.end(); }

    const SegmentLevels& levels() const { return levels_; }
    // The units word the program ends with.
    UnitsWord units() const { return machine_.units; }

private:
    struct ZText;
    template <class MarksOf>
    bool scan(std::string_view lines, const MarksOf& marksOf);
    bool takeLinesAvx2(std::string_view lines);  // scan() in AVX2 code, where the processor has it
    bool takeByBlock(const char*& p, const char* end);
    bool takeLine(const char* start, const char* base, std::uint64_t stops, const char* end);
    bool takeG(const char* p, const char* end);
    [[gnu::noinline]] static GWord otherG(const char* p, const char* end);  // a G word not of one digit
    bool takeWords(const char* base, std::uint64_t stops, const char* end, const char*& z);
    bool takeZ(const char* z, const char* end);
    static bool zKey(const char* p, const char* end, std::uint64_t& key);
    ZText& keptZ(std::uint64_t key);  // where the text of `key` is kept
    [[gnu::noinline]] bool readZ(const char* p, const char* end);  // false on the word's fault

    Head head_;
    bool widest_;
    TarvoMachine machine_;
    SegmentLevels levels_;
    // Z texts with the values they are held as (see zKey()).
    struct ZText {
        std::uint64_t key = ~std::uint64_t{0};  // no text's: its first byte would end the text
        float held = 0;
    };
    static constexpr int kZTextBits = 8;
    ZText zTexts_[1 << kZTextBits];
    TarvoBlockReader longLines_{letterBit(TarvoLetter::Z)};  // for the lines takeByBlock() takes
};

}  // namespace pathshift
