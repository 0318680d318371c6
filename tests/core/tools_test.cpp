// imgtool's option parsing.
#include <gtest/gtest.h>

#include "tools/imgtool/options.h"

namespace pelio::imgtool {
namespace {

TEST(ImgtoolOptions, LoadAndSaveSettings) {
    Options o;
    std::string error;
    ASSERT_TRUE(ParseOptions({"--gamma", "off", "--display-gamma", "1800", "--alpha", "0", "--file-bg", "on",
                              "--bg", "1,2,3", "--format", "png", "--depth", "4", "--gray", "--dither", "3",
                              "--level", "6", "--filter", "5", "--interlace", "--save-gamma", "1000",
                              "--transparent", "10,20,30", "--quality", "90", "--sampling", "2",
                              "--progressive", "--limit", "50", "--comment", "hello", "--marker", "1",
                              "--no-trim", "--turn", "3"},
                             o, error))
        << error;
    EXPECT_FALSE(o.load.gamma);
    EXPECT_EQ(o.load.displayGamma, 1800);
    EXPECT_FALSE(o.load.alpha);
    EXPECT_TRUE(o.load.fileBackground);
    EXPECT_EQ(o.load.background, (PaletteEntry{3, 2, 1, 0}));
    const ImageSaveSettings& s = o.save.settings;
    EXPECT_EQ(s.format, 1);
    EXPECT_TRUE(o.formatGiven);
    EXPECT_EQ(s.depth, 4);
    EXPECT_TRUE(s.gray);
    EXPECT_EQ(s.dither, 3);
    EXPECT_EQ(s.level, 6);
    EXPECT_EQ(s.filter, 5);
    EXPECT_TRUE(s.interlace);
    EXPECT_TRUE(s.gamma);
    EXPECT_EQ(s.saveGam, 1000);
    EXPECT_TRUE(o.save.transparent);
    EXPECT_EQ(s.alphaR, 10);
    EXPECT_EQ(s.alphaB, 30);
    EXPECT_EQ(s.quality, 90);
    EXPECT_EQ(s.sampling, 2);
    EXPECT_TRUE(s.progressive);
    EXPECT_TRUE(s.jpgLimit);
    EXPECT_EQ(s.jpgLmtVal, 50);
    EXPECT_TRUE(o.save.writeComment);
    EXPECT_EQ(o.save.comment, "hello");
    EXPECT_EQ(s.jMarker, 1);
    EXPECT_FALSE(s.jpgTrim);
    EXPECT_EQ(o.turn, 3);
}

TEST(ImgtoolOptions, RefusesBadInput) {
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"--depth"}, {"--depth", "x"}, {"--bg", "1,2"}, {"--bg", "1,2,256"}, {"--format", "webp"},
             {"--turn", "6"}, {"--gamma", "maybe"}, {"--what"}}) {
        Options o;
        std::string error;
        EXPECT_FALSE(ParseOptions(args, o, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(ImgtoolOptions, FormatNames) {
    EXPECT_EQ(SaveFormatByName("bmp"), 0);
    EXPECT_EQ(SaveFormatByName("jpg"), 2);
    EXPECT_EQ(SaveFormatByName("tif"), 3);
    EXPECT_EQ(SaveFormatByName("jpegtrans"), 5);
    EXPECT_EQ(SaveFormatByName("4"), 4);
    EXPECT_EQ(SaveFormatByName("6"), -1);
}

}  // namespace
}  // namespace pelio::imgtool
