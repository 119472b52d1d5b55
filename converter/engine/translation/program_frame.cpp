#include "engine/translation/program_frame.h"

namespace pathshift {

void appendHeader(OutputText& out, UnitsWord units, std::string_view thicknessText) {
    out.AppendLine(units == UnitsWord::G70 ? "G70" : units == UnitsWord::G71 ? "G71" : "");
    out.AppendLine("E0=1   ;ORGIN");
    out.AppendLine("E1=0   ;SHIFT X");
    out.AppendLine("E2=0   ;SHIFT Y");
    out.append("E3= ");
    out.append(thicknessText);
    out.AppendLine("   ;THICKNESS Z");
    out.AppendLine("E4=0   ;SHIFT W");
    out.AppendLine("E5=0   ;SHIFT A");
    out.AppendLine("");
    out.AppendLine("(DAN)");
    out.AppendLine("(UDA)");
    out.AppendLine("M5");
    out.AppendLine("G79G0Z0W0");
    out.AppendLine("M113");
    out.AppendLine("M123");
    out.AppendLine("");
    out.AppendLine("G300    ;LOAD DOOR");
    out.AppendLine("");
    out.AppendLine("\"START\"");
    out.AppendLine("");
}

void appendTrailer(OutputText& out) {
    out.AppendLine("G0Z2");
    out.AppendLine("(DAN)");
    out.AppendLine("(UDA)");
    out.AppendLine("M5");
    out.AppendLine("G79G0Z0W0");
    out.AppendLine("G301    ;UNLOAD DOOR");
    out.AppendLine("M30");
    out.AppendLine("\"END\"");
}

}  // namespace pathshift
