#pragma once
// The fixed block that opens every target program and the one that closes it.

#include <string_view>

#include "engine/io/output_text.h"
#include "engine/reading/tarvo_rules.h"

namespace pathshift {

// Units, the E0 to E5 variables with the thickness copied as typed, head and spindle set-up, the
// door load cycle and the "START" label.
void appendHeader(OutputText& out, UnitsWord units, std::string_view thicknessText);
// Retract, park, door unload, program end and the "END" label.
void appendTrailer(OutputText& out);

}  // namespace pathshift
