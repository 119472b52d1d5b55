#pragma once
// A test with a fresh folder of its own, removed after it, and the files it writes there.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace pathshift::testing {

class FolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "pathshift-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    // Writes `text` to a file below the folder; its full name.
    std::string file(const std::string& relative, std::string_view text) const {
        std::ofstream(root / relative, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
        return (root / relative).string();
    }

    std::filesystem::path root;
};

}  // namespace pathshift::testing
