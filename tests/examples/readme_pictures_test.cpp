// The README's pictures, remade from their scripts, are the committed ones
// (after a change that shows: `make screenshots` and a look at them).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "tests/support/golden_frames.h"

namespace fs = std::filesystem;

TEST(ReadmePictures, AreWhatTheirScriptsMake) {
    const fs::path committed = fs::path(KORVEN_SOURCE_DIR) / "docs/screenshots";
    const fs::path made = fs::temp_directory_path() / ("readme-pictures-" + std::to_string(getpid()));
    fs::remove_all(made);
    const std::string command = "bash '" + std::string(KORVEN_SOURCE_DIR) + "/tools/screenshots/make_screenshots.sh' '" +
                                KORVEN_BIN_DIR + "' '" + KORVEN_SOURCE_DIR + "' '" + made.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::set<std::string> madeNames, committedNames;
    for (const auto& entry : fs::directory_iterator(made)) madeNames.insert(entry.path().filename().string());
    for (const auto& entry : fs::directory_iterator(committed))
        if (entry.path().extension() == ".png") committedNames.insert(entry.path().filename().string());
    EXPECT_EQ(madeNames, committedNames);
    // The showcase's pages carry text from the installed fonts; the editor
    // writes with its own bitmap font.
    for (const std::string& name : committedNames)
        if (madeNames.count(name))
            ExpectFrameMatchesGolden(made / name, committed / name,
                                     name.rfind("showcase-", 0) == 0 ? FrameText::InstalledFonts : FrameText::None);
    fs::remove_all(made);
}
