// The level reader: what a file becomes on the game's grid, its pinned digest, and every refusal with the
// place it names. (The reader is also fuzzed, and the pack is solved level by level.)
#include <gtest/gtest.h>

#include <string>

#include "files/levelFile.h"

namespace {

const std::string small = "####\n#12#\n#@##\n";

bool read(const std::string& text, customLevel& level, levelError& error) {
    return readLevel(text.data(), text.size(), level, error);
}

}  // namespace

TEST(LevelFile, PlacesTheMapTopLeftInAWalledGridWithItsHeaders) {
    static customLevel level;
    levelError error;
    ASSERT_TRUE(read("title: Two\nauthor: Us\npar: 12\n\n" + small, level, error)) << error.reason;
    EXPECT_EQ(std::string(level.title) + "/" + level.author + "/" + std::to_string(level.width) + "x" +
                  std::to_string(level.height) + "/" + std::to_string(level.robots) + "/" +
                  std::to_string(level.par),
              "Two/Us/4x3/2/12");
    EXPECT_EQ(std::string(level.map, 5) + "|" + std::string(level.map + customW, 5), "#####|#12##")
        << "rows should start at the grid's left edge, walls after them";
    // A replay names the player's level it was made on by this digest: a changed digest would refuse every
    // recording made on one. The map decides it, not the title or author.
    EXPECT_EQ(levelDigest(level), 0x19e9d580bf8becabull) << "the digest of a fixed level should stay";
    ASSERT_TRUE(read(small, level, error)) << error.reason;
    EXPECT_EQ(levelDigest(level), 0x19e9d580bf8becabull) << "a level's headers should not change its digest";
}

TEST(LevelFile, RefusesWithLineColumnAndReason) {
    const std::string twelve = "123456789ABC\n@###########\n";
    std::string tall = "#1@2\n";
    for (int row = 0; row < customH; ++row)
        tall += "####\n";
    const struct {
        std::string text;
        int line, column;
        const char* says;
    } refusals[] = {
        {"", 1, 1, "empty"},
        {"####\n#12#\n#@#\n", 3, 4, "shorter"},
        {"####\n#12#\n#@###\n", 3, 5, "longer"},
        {"####\n#1x2\n#@##\n", 2, 3, "unknown character, \"x\""},
        {"####\n#1\t2\n#@##\n", 2, 3, "tab"},
        {"####\r\n#12#\n#@##\n", 1, 5, "carriage return"},
        {std::string(81, '#') + "\n#12@\n", 1, 81, "wider than 80"},
        {tall, 51, 1, "taller than 50"},
        {"1@2\n", 1, 1, "one row"},
        {"####\n#12#\n####\n", 1, 1, "no goal"},
        {"####\n#12#\n#@@#\n", 3, 3, "second goal"},
        {"####\n#1 #\n#@##\n", 1, 1, "1 robot marker"},
        {"####\n#11#\n#@##\n", 2, 3, "second robot marker \"1\""},
        {twelve, 1, 12, "past the 11"},
        {"title: a\ntitle: b\n" + small, 2, 1, "second \"title:\""},
        {"par: 12\npar: 12\n" + small, 2, 1, "second \"par:\""},
        {"par: 1x\n" + small, 1, 7, "whole number of moves"},
        {"par: 0\n" + small, 1, 6, "whole number of moves"},
        {"par: 100000\n" + small, 1, 11, "from 1 to 99999"},
        {"name: a\n" + small, 1, 1, "unknown header"},
        {"title " + small, 1, 6, "a name, a colon"},
        {"title: " + std::string(64, 'x') + "\n" + small, 1, 71, "longer than 63"},
        {small + "title: late\n", 4, 1, "after the map"},
        {small + "\n\n####\n", 4, 1, "empty line"},
        {"title: only\n", 1, 1, "no map"},
        {std::string(maxLevelBytes + 1, '#'), 1, maxLevelBytes + 1, "past 8192 bytes"},
    };
    static customLevel level;
    for (const auto& r : refusals) {
        levelError error;
        EXPECT_FALSE(read(r.text, level, error)) << "should refuse: " << r.says;
        EXPECT_EQ(error.line, r.line) << "the line of: " << r.says << " (" << error.reason << ")";
        EXPECT_EQ(error.column, r.column) << "the column of: " << r.says << " (" << error.reason << ")";
        EXPECT_NE(std::string(error.reason).find(r.says), std::string::npos)
            << "the reason should say \"" << r.says << "\", but says: " << error.reason;
    }
}
