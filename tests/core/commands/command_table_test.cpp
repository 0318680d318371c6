// Command captions, tool captions and tips, and the menu structure.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/commands/command_ids.h"
#include "core/commands/command_table.h"

namespace pelio {
namespace {

TEST(CommandTable, CaptionsOfTheMenus) {
    struct Case {
        int id;
        const wchar_t* caption;
    } cases[] = {
        {5010, L"開く(&O)..."},          {5060, L"印刷(プレビュー)(&P)..."}, {5164, L"色相/彩度(&V)..."},
        {5220, L"等倍表示<100%>(&E)"},   {5260, L"1000%(&B)"},           {5265, L"10%(&S)"},
        {5310, L"編集ウィンドウ(&W)"},   {5345, L"黒(&B)"},              {5530, L"全画面表示(&M)"},
        {5550, L"終了(&X)"},             {5722, L"プレビュー画像(ウィンドウ2)"},
    };
    for (const Case& c : cases) {
        const CommandInfo* info = FindCommand(c.id);
        ASSERT_NE(info, nullptr) << c.id;
        EXPECT_STREQ(info->caption, c.caption) << c.id;
    }
    EXPECT_EQ(FindCommand(cmd::kZoomToggle), nullptr);  // keys only, no menu item
}

TEST(CommandTable, ToolCaptions) {
    EXPECT_EQ(ToolCaption(L"Editor", 0), L"Editor(&1)");
    const std::wstring forty(40, L'x');
    EXPECT_EQ(ToolCaption(forty, 7), std::wstring(27, L'x') + L"(&8)");
    EXPECT_EQ(ToolCaption(std::wstring(27, L'画'), 2), std::wstring(27, L'画') + L"(&3)");
}

TEST(CommandTable, ToolTipsOfTheViewerStrip) {
    struct Case {
        int id;
        const wchar_t* tip;
    } cases[] = {
        {5010, L"開く (Ctrl+O)"},  {5311, L"ファイルリスト表示"}, {5152, L"270度回転 (Ctrl+←)"},
        {5150, L"90度回転 (Ctrl+→)"}, {5210, L"画面に合わせて表示"}, {5220, L"等倍表示<100%>"},
        {5230, L"拡大表示 (PageUp)"}, {5240, L"縮小表示 (PageDown)"}, {5700, L"先頭へ (←)"},
        {5702, L"戻る (↑)"},       {5703, L"進む (↓)"},         {5701, L"末尾へ (→)"},
        {5250, L"スライドショー"},   {5310, L"編集ウィンドウ (Tab)"}, {5540, L"最小化 (End)"},
        {5530, L"通常表示 (Enter)"}, {5550, L"終了 (Esc)"},
    };
    for (const Case& c : cases) EXPECT_EQ(ToolTipText(c.id, DefaultAccelerators()), c.tip) << c.id;
    AccelTable changed = DefaultAccelerators();
    changed[0] = Accel{13, 'N', 5010};
    EXPECT_EQ(ToolTipText(5010, changed), L"開く (Ctrl+Shift+N)");
}

void Collect(std::span<const MenuNode> nodes, std::vector<int>& ids, std::set<int>& submenus) {
    for (const MenuNode& n : nodes) {
        if (n.kind == MenuNode::Kind::Command) ids.push_back(n.id);
        if (n.kind == MenuNode::Kind::Submenu) {
            submenus.insert(n.id);
            Collect(n.children, ids, submenus);
        }
    }
}

TEST(CommandTable, MenuStructure) {
    std::vector<int> ids;
    std::set<int> submenus;
    Collect(ContextMenu(), ids, submenus);
    EXPECT_EQ(submenus, (std::set<int>{5000, 5100, 5106, 5107, 5200, 5300, 5340, 5400, 5500}));
    for (int id : ids) EXPECT_NE(FindCommand(id), nullptr) << id;
    // Every command that has a menu item outside the Edit window's own lists is reachable.
    for (int id : {5010, 5011, 5012, 5030, 5031, 5032, 5040, 5041, 5050, 5060, 5120, 5121, 5122,
                   5140, 5150, 5151, 5152, 5153, 5154, 5160, 5161, 5162, 5163, 5164, 5165, 5170,
                   5171, 5172, 5111, 5110, 5210, 5220, 5230, 5240, 5250, 5310, 5311, 5320, 5321,
                   5330, 5331, 5332, 5341, 5342, 5343, 5344, 5345, 5410, 5510, 5515, 5520, 5530,
                   5540, 5550})
        EXPECT_EQ(std::count(ids.begin(), ids.end(), id), 1) << id;
    // The File menu's separators stand before 5030, 5040, 5050 and 5060.
    const MenuNode& file = ContextMenu()[0];
    std::vector<int> afterSeparator;
    for (size_t i = 1; i < file.children.size(); ++i)
        if (file.children[i - 1].kind == MenuNode::Kind::Separator) afterSeparator.push_back(file.children[i].id);
    EXPECT_EQ(afterSeparator, (std::vector<int>{5030, 5040, 5050, 5060}));
    EXPECT_EQ(ZoomMenu().size(), 6u);
}

TEST(CommandTable, EnablingByWhatEachCommandNeeds) {
    using namespace cmd;
    using Mode = CommandContext::Mode;
    auto busyIn = [](Mode mode) {
        return CommandContext{.imageLoaded = true, .hasPath = true, .operationRunning = true, .commentFormat = true,
                              .hasTextData = true, .clipboardImage = true, .mode = mode};
    };
    // One mark per context, '+' enabled: no image (the last one's facts left over), no image but
    // a bitmap on the clipboard, a pasted image, a file, a PNG/JPEG file, a file with text data,
    // the title bar on, full screen, the Edit mode, an operation running there, and an operation
    // flagged in the Viewer mode.
    const CommandContext contexts[] = {
        {.hasPath = true, .commentFormat = true, .hasTextData = true},
        {.clipboardImage = true},
        {.imageLoaded = true},
        {.imageLoaded = true, .hasPath = true},
        {.imageLoaded = true, .hasPath = true, .commentFormat = true},
        {.imageLoaded = true, .hasPath = true, .hasTextData = true},
        {.imageLoaded = true, .hasPath = true, .titleBar = true},
        {.imageLoaded = true, .hasPath = true, .mode = Mode::FullScreen},
        {.imageLoaded = true, .hasPath = true, .mode = Mode::Edit},
        busyIn(Mode::Edit),
        busyIn(Mode::Viewer),
    };
    struct Case {
        const char* enabled;
        std::vector<int> ids;
    } cases[] = {
        {"+++++++++++", {kTopmost, kBackgroundWhite, kBackgroundLightGrey, kBackgroundGrey, kBackgroundDarkGrey,
                         kBackgroundBlack, kMinimise, kExit, kScrollBars, kPanesSideBySide, kPaneImage,
                         kPanePreview, kConfirmOperation, kFileSubmenu, kWindowSubmenu}},
        {"+++++++++.+", {kOpen, kEditWindow, kOptions, kHelp, kMouseOperations, kAbout, kFullScreen, kTool1, kTool8}},
        {"..+++++++++", {kFit, kZoom100, kZoomIn, kZoomOut, kZoomPreset1000, kZoomPreset400, kZoomPreset200,
                         kZoomPreset50, kZoomPreset25, kZoomPreset10, kZoomToggle, kZoomPlus10, kZoomMinus10,
                         kScrollLeft, kScrollDown, kImageSubmenu, kViewSubmenu, kTransformMenu, kCorrectionMenu}},
        {"..+++++++.+", {kSaveAs, kCopy, kWallpaper, kPrint, kTrim, kResize, kMargins, kRotate, kTurn90, kTurn180,
                         kTurn270, kMirror, kFlip, kHistogramCorrection, kGamma, kBrightness, kContrast,
                         kHueSaturation, kInvert, kUnsharpMask, kBlur, kSoftFocus, kHistogram, kColourCount,
                         kSlideshow, kFileList, kFirstFile, kLastFile, kPreviousFile, kNextFile, kSavePreview}},
        {"...++++++.+", {kReload, kDelete}},
        {".+........+", {kPaste}},
        {"....+.....+", {kComment}},
        {".....+....+", {kTextData}},
        {"+++++++.+++", {kCentre}},
        {"+++++++...+", {kTitleBar}},
        {"++++++....+", {kFrame}},
        {"++++++++..+", {kToolbarStrip}},
    };
    std::set<int> listed;
    for (const Case& c : cases) {
        for (int id : c.ids) {
            std::string enabled;
            for (const CommandContext& context : contexts) enabled += CommandEnabled(id, context) ? '+' : '.';
            EXPECT_EQ(enabled, c.enabled) << id;
            listed.insert(id);
        }
    }
    for (int id = 5000; id < 7000; ++id)
        EXPECT_TRUE(!FindCommand(id) || listed.count(id)) << id << " has a row but no case";
}

}  // namespace
}  // namespace pelio
