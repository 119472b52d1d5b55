// Writes a realistic numbered Tarvo program of a given size: a header with comments, tool changes,
// rapids, plunges, straight cuts and arcs both ways, feeds, inch units. Deterministic for a seed.
//
//   generate_program SIZE_MB FILE [SEED]

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

class Writer {
public:
    explicit Writer(std::FILE* file) : file_(file) {}
    void line(const std::string& text) {
        buffer_ += text;
        buffer_ += "\r\n";
        written_ += text.size() + 2;
        if (buffer_.size() > (1u << 20)) flush();
    }
    void flush() {
        std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
        buffer_.clear();
    }
    std::size_t written() const { return written_; }

private:
    std::FILE* file_;
    std::string buffer_;
    std::size_t written_ = 0;
};

std::string coordinate(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    std::string s(text);
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: generate_program SIZE_MB FILE [SEED]\n");
        return 2;
    }
    const std::size_t target = static_cast<std::size_t>(std::atof(argv[1]) * 1024 * 1024);
    std::FILE* file = std::fopen(argv[2], "wb");
    if (!file) {
        std::perror(argv[2]);
        return 1;
    }
    std::mt19937_64 random(argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1);
    std::uniform_real_distribution<double> position(0.0, 48.0);
    std::uniform_int_distribution<int> toolPick(1, 9);
    std::uniform_int_distribution<int> moves(4, 40);
    std::uniform_int_distribution<int> kind(0, 9);

    Writer out(file);
    out.line("%");
    out.line("O1001 (GENERATED CABINET SIDE PANEL)");
    out.line("(UNITS INCH, ORIGIN LOWER LEFT)");
    long n = 10;
    // Words are appended piece by piece: GCC 12 warns falsely on literal + temporary string.
    auto block = [&](const auto&... words) {
        std::string text = "N";
        text += std::to_string(n);
        ((text += words), ...);
        out.line(text);
        n += 10;
    };
    block("G20G17G40G49G54G64");
    double x = 0, y = 0;
    while (out.written() < target) {
        const int tool = 1000 + toolPick(random);
        out.line("(TOOL CHANGE)");
        block("M6T", std::to_string(tool));
        block("S", std::to_string(12000 + 1000 * toolPick(random)), "M3");
        const int passes = moves(random) / 4 + 1;
        for (int pass = 0; pass < passes && out.written() < target; ++pass) {
            x = position(random);
            y = position(random);
            block("G0X", coordinate(x), "Y", coordinate(y));
            block("Z0.2");
            const double depth = -0.05 * (1 + toolPick(random));
            block("G1Z", coordinate(depth), "F", std::to_string(60 + 20 * toolPick(random)));
            const int count = moves(random);
            for (int m = 0; m < count; ++m) {
                const double nx = position(random), ny = position(random);
                const int k = kind(random);
                if (k < 6) {
                    block("X", coordinate(nx), "Y", coordinate(ny));
                } else if (k < 8) {
                    const double i = (nx - x) / 2, j = (ny - y) / 2;
                    block(k == 6 ? "G2" : "G3", "X", coordinate(nx), "Y", coordinate(ny), "I", coordinate(i), "J",
                          coordinate(j));
                    block("G1X", coordinate(nx), "Y", coordinate(ny), "F", std::to_string(100 + 10 * k));
                } else {
                    block("G1X", coordinate(nx), "Y", coordinate(ny), "Z", coordinate(depth - 0.01 * k));
                }
                x = nx;
                y = ny;
            }
            block("G0Z0.5");
        }
    }
    block("M5");
    block("M30");
    out.line("%");
    out.flush();
    return std::fclose(file) == 0 ? 0 : 1;
}
