#pragma once
// A converted program's moves, each with the line of its source that it was translated from, so
// that a picture of the target can name both lines of every move.
//
// The source is replayed beside the target: the n-th cut of one is the n-th cut of the other (the
// verifier proves it). The target's rapids (retract, tool call, approach) have no block of their
// own in the source: each is given the source's rapid between the same two cuts whose end is
// nearest its own, which names the source block that moved there.

#include "engine/io/text_source.h"
#include "engine/toolpath/toolpath.h"
#include "engine/translation/conversion.h"

namespace pathshift {

// Replays `target` (converted from `source` with `options`) into `sink`, every move with its
// targetLine and its sourceLine (0 when the source has none for it). False with `sourceError` or
// `targetError` set when that program cannot be replayed.
bool replayWithSourceLines(TextSource& source, const ConversionOptions& options, TextSource& target,
                           MoveSink& sink, ReplayError& sourceError, ReplayError& targetError);

}  // namespace pathshift
