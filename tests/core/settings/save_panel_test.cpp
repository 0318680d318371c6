// Save settings panel: list entries, selection and adjustment rules, item states, fields.
#include <gtest/gtest.h>

#include <map>

#include "core/commands/command_ids.h"
#include "core/settings/save_panel.h"

namespace pelio {
namespace {

ImageSaveSettings With(int format, int depth, bool gray) {
    ImageSaveSettings s;
    s.format = format;
    s.depth = depth;
    s.gray = gray;
    return s;
}

TEST(SavePanelDepthList, EntriesPerFormat) {
    EXPECT_EQ(DepthEntries(0), (std::vector<std::wstring>{L"24bit(ﾌﾙｶﾗｰ)", L"8bit(256色)", L"4bit(16色)", L"1bit(2色)"}));
    EXPECT_EQ(DepthEntries(1).size(), 6u);
    EXPECT_EQ(DepthEntries(1)[3], L"2bit(4色)");
    EXPECT_EQ(DepthEntries(1)[5], L"8bit ｸﾞﾚｲｽｹｰﾙ");
    EXPECT_EQ(DepthEntries(2), (std::vector<std::wstring>{L"24bit(ﾌﾙｶﾗｰ)", L"8bit ｸﾞﾚｲｽｹｰﾙ"}));
    EXPECT_EQ(DepthEntries(3).size(), 5u);
    EXPECT_EQ(DepthEntries(4).size(), 8u);
    EXPECT_EQ(DepthEntries(4)[1], L"7bit(128色)");
    EXPECT_EQ(DepthEntries(4)[7], L"1bit(2色)");
    EXPECT_EQ(DepthEntries(5), DepthEntries(2));
    EXPECT_EQ(SaveFormatNames()[5], L"JPEG/TRANS");
    EXPECT_TRUE(OffersLosslessJpeg(false, false));
    EXPECT_TRUE(OffersLosslessJpeg(true, true));
    EXPECT_FALSE(OffersLosslessJpeg(true, false));
}

// format × depth × grey (× image bits for JPEG/TRANS) → entry and the adjusted settings.
TEST(SavePanelDepthList, SelectionAdjustsTheSettings) {
    struct Case { int format, depth; bool gray; int imageBits; int entry, newDepth; bool newGray; };
    const Case cases[] = {
        {0, 24, false, 24, 0, 24, false}, {0, 1, false, 24, 3, 1, false},
        {0, 2, false, 24, 2, 4, false},   {0, 4, false, 24, 2, 4, false},
        {0, 6, false, 24, 1, 8, false},   {0, 8, true, 24, 1, 8, false},   // BMP drops grey
        {1, 24, false, 24, 0, 24, false}, {1, 5, false, 24, 1, 8, false},
        {1, 3, false, 24, 2, 4, false},   {1, 2, false, 24, 3, 2, false},
        {1, 1, false, 24, 4, 1, false},   {1, 8, true, 24, 5, 8, true},
        {2, 8, true, 24, 1, 8, true},     {2, 4, false, 24, 0, 24, false},
        {3, 8, true, 24, 4, 8, true},     {3, 7, false, 24, 1, 8, false},  {3, 3, false, 24, 2, 4, false},
        {4, 24, false, 24, 0, 8, false},  {4, 8, true, 24, 0, 8, false},   {4, 3, false, 24, 5, 3, false},
        {4, 1, false, 24, 7, 1, false},
        {5, 24, true, 8, 1, 8, true},     {5, 24, false, 24, 0, 24, false}, {5, 8, true, 24, 0, 24, false},
        {5, 8, true, 0, 0, 24, false},    // without an image
    };
    for (const Case& c : cases) {
        ImageSaveSettings s = With(c.format, c.depth, c.gray);
        EXPECT_EQ(SelectDepthEntry(s, c.imageBits), c.entry) << c.format << "/" << c.depth << "/" << c.gray;
        EXPECT_EQ(s.depth, c.newDepth) << c.format << "/" << c.depth << "/" << c.gray;
        EXPECT_EQ(s.gray, c.newGray) << c.format << "/" << c.depth << "/" << c.gray;
    }
}

TEST(SavePanelDepthList, ChoosingAnEntry) {
    struct Case { int format, entry, depth; bool gray; };
    const Case cases[] = {
        {0, 0, 24, false}, {0, 1, 8, false}, {0, 2, 4, false}, {0, 3, 1, false},
        {1, 0, 24, false}, {1, 3, 2, false}, {1, 4, 1, false}, {1, 5, 8, true},
        {2, 0, 24, false}, {2, 1, 8, true},
        {3, 3, 1, false},  {3, 4, 8, true},
        {4, 0, 8, false},  {4, 5, 3, false}, {4, 7, 1, false},
        {5, 1, 8, true},   {5, 0, 24, false},
    };
    for (const Case& c : cases) {
        ImageSaveSettings s = With(c.format, 6, true);
        ChooseDepthEntry(s, c.entry);
        EXPECT_EQ(s.depth, c.depth) << c.format << "/" << c.entry;
        EXPECT_EQ(s.gray, c.gray) << c.format << "/" << c.entry;
    }
}

using States = std::map<int, ItemState>;

States StatesOf(const PanelLayout& l) {
    States m;
    for (const PanelItem& item : l.items) {
        EXPECT_EQ(m.count(item.id), 0u) << "item listed twice: " << item.id;
        m[item.id] = item.state;
    }
    return m;
}

// The whole table: one column per format, with every switch on so that "pressed" shows.
TEST(SavePanelRules, ItemStatesPerFormat) {
    using enum ItemState;
    constexpr ItemState H = Hidden, S = Shown, P = Pressed, G = Greyed;
    const int ids[] = {kSeparator9930, kPlaceholder9940, kSeparator9931, cmd::kTransparency,
                       kPlaceholder9941, kSeparator9932, cmd::kInterlace, kSeparator9933,
                       cmd::kWriteGamma, kPlaceholder9942, kSeparator9934, cmd::kProgressive,
                       kSeparator9935, cmd::kCommentSwitch, cmd::kJpegTrim, kSeparator9936};
    const ItemState table[6][16] = {
        /* BMP  */ {H, H, H, H, H, H, H, H, H, H, H, H, H, H, H, H},
        /* PNG  */ {S, G, S, P, G, S, P, S, P, G, S, H, H, P, H, H},
        /* JPEG */ {S, G, S, H, H, H, H, H, H, H, S, P, S, P, H, S},
        /* TIFF */ {H, H, H, H, H, H, H, H, H, H, H, H, H, H, H, H},
        /* GIF  */ {S, H, H, P, G, S, P, H, H, H, H, H, H, H, H, H},
        /* JT   */ {S, H, H, H, H, H, H, H, H, H, S, P, S, H, P, H},
    };
    for (int format = 0; format < 6; ++format) {
        ImageSaveSettings s = With(format, 24, false);
        s.interlace = s.gamma = s.progressive = s.jpgTrim = true;
        s.sampling = 1;
        s.jMarker = 2;
        const PanelLayout l = ApplyFormatRules(s, {true, 24, true, true});
        States m = StatesOf(l);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(m[ids[i]], table[format][i]) << "format " << format << " item " << ids[i];
        EXPECT_EQ(m[cmd::kSavePreview], Shown);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(m[cmd::kSampling41 + i], format == 2 ? (i == 1 ? P : S) : H) << format;
            EXPECT_EQ(m[cmd::kMarkersNone + i], format == 5 ? (i == 2 ? P : S) : H) << format;
        }
        EXPECT_EQ(l.placeholderWidth, format == 1 ? 110 : format == 2 ? 45 : 0);
        EXPECT_EQ(l.colourBox, format == 1 ? ColourBoxPlace::Png : format == 4 ? ColourBoxPlace::Gif : ColourBoxPlace::Hidden);
        EXPECT_EQ(l.pngFields, format == 1);
        EXPECT_EQ(l.jpegFields, format == 2);
        EXPECT_TRUE(l.depthListEnabled);
    }
}

TEST(SavePanelRules, SwitchesOffShowUnpressed) {
    ImageSaveSettings s = With(1, 24, false);
    States m = StatesOf(ApplyFormatRules(s, {false, 0, false, false}));
    EXPECT_EQ(m[cmd::kSavePreview], ItemState::Greyed);  // no image
    EXPECT_EQ(m[cmd::kTransparency], ItemState::Shown);
    EXPECT_EQ(m[cmd::kInterlace], ItemState::Shown);
    EXPECT_EQ(m[cmd::kCommentSwitch], ItemState::Shown);
}

TEST(SavePanelRules, GreySamplingFilterListAndLosslessDepthList) {
    ImageSaveSettings jpeg = With(2, 8, true);
    States m = StatesOf(ApplyFormatRules(jpeg, {true, 24}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(m[cmd::kSampling41 + i], ItemState::Greyed);

    struct FilterCase { int depth; bool gray; bool enabled; };
    for (FilterCase c : {FilterCase{24, false, true}, {8, true, true}, {8, false, false},
                         {4, false, false}, {2, false, false}, {1, false, false}})
        EXPECT_EQ(ApplyFormatRules(With(1, c.depth, c.gray), {true, 24}).filterEnabled, c.enabled) << c.depth;

    EXPECT_FALSE(ApplyFormatRules(With(5, 8, true), {true, 8}).depthListEnabled);
    EXPECT_TRUE(ApplyFormatRules(With(5, 24, false), {true, 24}).depthListEnabled);
    EXPECT_TRUE(ApplyFormatRules(With(5, 24, false), {false, 0}).depthListEnabled);
}

TEST(SavePanelFields, NumbersAreCorrectedNeverRejected) {
    struct Case { FieldResult (*read)(const std::wstring&); std::wstring text; int value; bool rewrite; std::wstring shown; };
    const Case cases[] = {
        {ReadLevelField, L"12", 9, true, L"9"},       {ReadLevelField, L"x", 0, true, L"0"},
        {ReadLevelField, L"-3", 0, true, L"0"},       {ReadLevelField, L"6", 6, true, L"6"},
        {ReadQualityField, L"0", 1, true, L"1"},      {ReadQualityField, L"101", 100, true, L"100"},
        {ReadQualityField, L"85", 85, true, L"85"},   {ReadQualityField, L"", 1, true, L"1"},
        {ReadSizeLimitField, L"0", 1, true, L"1"},    {ReadSizeLimitField, L"250", 250, false, L""},
        {ReadSizeLimitField, L"abc", 1, true, L"1"},
        {ReadGammaField, L"", 2200, true, L"2.200"},  {ReadGammaField, L"2.2", 2200, false, L""},
        {ReadGammaField, L"abc", 1, true, L"0.001"},  {ReadGammaField, L"0.0009", 1, true, L"0.001"},
        {ReadGammaField, L"1.8", 1800, false, L""},   {ReadGammaField, L"0.001", 1, false, L""},
        {ReadGammaField, L"1.23456789", 1234, false, L""},  // seven characters read
        {ReadGammaField, L"-2", 1, true, L"0.001"},
    };
    for (const Case& c : cases) {
        FieldResult r = c.read(c.text);
        EXPECT_EQ(r.value, c.value) << std::string(c.text.begin(), c.text.end());
        EXPECT_EQ(r.rewrite, c.rewrite) << std::string(c.text.begin(), c.text.end());
        if (c.rewrite) {
            EXPECT_EQ(r.text, c.shown);
        }
    }
    EXPECT_EQ(GammaText(45455), L"45.455");
    EXPECT_EQ(FieldNumber(L"  42abc"), 42);
    EXPECT_EQ(FieldNumber(L"99999999999"), 0);
}

}  // namespace
}  // namespace pelio
