// `pathshift-cli preview`: the picture written atomically, its kinds, and its failures.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/cli_run.h"
#include "support/folder_test.h"
#include "support/program_text.h"

namespace pathshift {
namespace {

namespace fs = std::filesystem;
using testing::CliOutcome;
using testing::printable;

class PreviewCli : public testing::FolderTest {
protected:
    void SetUp() override {
        FolderTest::SetUp();
        source = file("part.nc", testing::kPlungeSource);
    }
    CliOutcome preview(const std::string& picture, const std::string& program) {
        return testing::runCli(
            {"preview", "--thickness", "0.75", "--tool", "1005=3", "-o", (root / picture).string(), program});
    }
    // Files in the folder other than the source: a failed run leaves none, not even a temporary one.
    std::size_t others() const {
        std::size_t n = 0;
        for (const auto& entry : fs::directory_iterator(root))
            if (entry.path().string() != source) ++n;
        return n;
    }

    std::string source;
};

TEST_F(PreviewCli, WritesAnSvgPictureAndSaysWhatItDrew) {
    const CliOutcome o = preview("part.svg", source);
    ASSERT_EQ(o.status, 0) << printable(o);
    const std::string svg = testing::readWhole(root / "part.svg");
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("<path "), std::string::npos);
    EXPECT_NE(svg.find(">T3</text>"), std::string::npos);
    EXPECT_NE(o.out.find("part.svg"), std::string::npos) << printable(o);
    EXPECT_NE(o.out.find("1 tool change"), std::string::npos) << printable(o);
}

TEST_F(PreviewCli, PngPicturesAreWrittenWhenBuiltWithQtAndRefusedClearlyOtherwise) {
#ifdef PATHSHIFT_WITH_QT
    // Twice in one process: the second picture is drawn offscreen as the first.
    for (const std::string picture : {"part.png", "again.png"}) {
        const CliOutcome o = preview(picture, source);
        ASSERT_EQ(o.status, 0) << printable(o);
        EXPECT_EQ(testing::readWhole(root / picture).substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        EXPECT_EQ(o.err, "") << printable(o);
    }
#else
    const CliOutcome o = preview("part.png", source);
    EXPECT_EQ(o.status, 2) << printable(o);
    EXPECT_NE(o.err.find("built with Qt"), std::string::npos) << printable(o);
    EXPECT_FALSE(fs::exists(root / "part.png"));
#endif
}

#ifdef PATHSHIFT_WITH_QT
// The program alone, its PNG writer neither beside it nor in its library folder.
TEST_F(PreviewCli, WithoutItsPngWriterTheProgramFailsOnlyPngPicturesAndSaysWhatIsMissing) {
    fs::create_directory(root / "bin");
    const std::string program = (root / "bin" / "pathshift-cli").string();
    fs::copy_file(PATHSHIFT_CLI, program);
    const auto run = [&](const std::string& picture) {
        return testing::runProgram(
            program, {"preview", "--thickness", "0.75", "-o", (root / picture).string(), source}, root);
    };
    const CliOutcome png = run("part.png");
    EXPECT_EQ(png.status, 1) << printable(png);
    EXPECT_NE(png.err.find("pathshift-png.so is in neither " + (root / "bin").string()), std::string::npos)
        << printable(png);
    EXPECT_FALSE(fs::exists(root / "part.png"));
    const CliOutcome svg = run("part.svg");
    EXPECT_EQ(svg.status, 0) << printable(svg);
}
#endif

TEST_F(PreviewCli, OtherPictureKindsAreAUsageError) {
    const CliOutcome o = preview("part.jpg", source);
    EXPECT_EQ(o.status, 2) << printable(o);
    EXPECT_NE(o.err.find(".svg or .png"), std::string::npos) << printable(o);
    EXPECT_EQ(others(), 0u);
}

TEST_F(PreviewCli, AProgramThatFailsLeavesNoPictureAndNamesItsLine) {
    const std::string bad = file("bad.nc", "N1T1005\nN2G0X0Y0\nN3T99999\nN4G1Z-0.25F100\n");
    const CliOutcome o = preview("bad.svg", bad);
    EXPECT_EQ(o.status, 1) << printable(o);
    EXPECT_NE(o.err.find(bad + ":3: "), std::string::npos) << printable(o);
    EXPECT_FALSE(fs::exists(root / "bad.svg"));
    const CliOutcome missing = preview("none.svg", (root / "none.nc").string());
    EXPECT_EQ(missing.status, 1) << printable(missing);
    EXPECT_EQ(others(), 1u);  // bad.nc alone
}

TEST_F(PreviewCli, AnExistingPictureIsReplacedWhole) {
    file("part.svg", std::string(100000, 'x'));
    const CliOutcome o = preview("part.svg", source);
    ASSERT_EQ(o.status, 0) << printable(o);
    const std::string svg = testing::readWhole(root / "part.svg");
    EXPECT_EQ(svg.find('x' + std::string(20, 'x')), std::string::npos);
    EXPECT_EQ(svg.rfind("</svg>\n"), svg.size() - 7);
}

}  // namespace
}  // namespace pathshift
