#pragma once
// The fixed parts of every Selvix program the converter writes, built line by line so tests can
// state whole expected files.

#include <initializer_list>
#include <string>
#include <string_view>

namespace pathshift::testing {

// Lines joined with CR LF, each line ended.
inline std::string crlfLines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) {
        text.append(line);
        text.append("\r\n");
    }
    return text;
}

// The opening block: the units line ("" when the program named none) and the thickness as typed.
inline std::string selvixHeader(std::string_view units, std::string_view thickness) {
    return crlfLines({units,
                      "E0=1   ;ORGIN",
                      "E1=0   ;SHIFT X",
                      "E2=0   ;SHIFT Y",
                      std::string("E3= ") + std::string(thickness) + "   ;THICKNESS Z",
                      "E4=0   ;SHIFT W",
                      "E5=0   ;SHIFT A",
                      "",
                      "(DAN)",
                      "(UDA)",
                      "M5",
                      "G79G0Z0W0",
                      "M113",
                      "M123",
                      "",
                      "G300    ;LOAD DOOR",
                      "",
                      "\"START\"",
                      ""});
}

// The closing block and the empty line that ends every file.
inline std::string selvixTrailer() {
    return crlfLines({"G0Z2", "(DAN)", "(UDA)", "M5", "G79G0Z0W0", "G301    ;UNLOAD DOOR", "M30", "\"END\"", ""});
}

inline std::string selvixProgram(std::string_view units, std::string_view thickness, std::string_view body) {
    return selvixHeader(units, thickness) + std::string(body) + selvixTrailer();
}

// The worked plunge example: head 1, tool row 1005 -> 3, DFS on, thickness 0.75.
inline constexpr std::string_view kPlungeSource =
    "N1G20\nN2T1005S18000\nN3G0X1Y2\nN4G1Z0.5F100\nN5X3\nN6G0Z1\n";

inline std::string plungeBody() {
    return crlfLines({"G0Z2M5", "", "(DIS, \"T3\")", "G306T3h3S18000D1Z-0.25", "M93", "G0X-1Y-2Z0.75", "G1Z0F100",
                      "G1X-3"});
}

inline std::string plungeProgram() { return selvixProgram("G70", "0.75", plungeBody()); }

}  // namespace pathshift::testing
