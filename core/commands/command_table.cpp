// Command captions and the menu structure. Portable.
#include "core/commands/command_table.h"

#include "core/commands/command_ids.h"
#include "core/commands/key_names.h"

namespace pelio {

namespace {

using namespace cmd;

constexpr CommandNeeds kImageIdle = kNeedsImage | kNeedsIdle;
constexpr CommandNeeds kFileIdle = kNeedsImage | kNeedsPath | kNeedsIdle;

constexpr CommandInfo kCommands[] = {
    {kOpen, L"開く(&O)...", L"開く", kNeedsIdle},
    {kReload, L"開き直す(&B)", nullptr, kFileIdle},
    {kSaveAs, L"名前を付けて保存(&S)...", nullptr, kImageIdle},
    {kCopy, L"コピー(&C)", nullptr, kImageIdle},
    {kPaste, L"貼り付け(&V)", nullptr, kNeedsClipboardImage | kNeedsIdle},
    {kDelete, L"削除(&D)", nullptr, kFileIdle},
    {kComment, L"コメント表示/編集(&E)...", nullptr, kImageIdle | kNeedsCommentFormat},
    {kTextData, L"テキストデータ表示(&T)", nullptr, kImageIdle | kNeedsTextData},
    {kWallpaper, L"壁紙に設定(&W)...", nullptr, kImageIdle},
    {kPrint, L"印刷(プレビュー)(&P)...", nullptr, kImageIdle},
    {kTrim, L"トリミング(&T)...", nullptr, kImageIdle},
    {kResize, L"リサイズ(&Z)...", nullptr, kImageIdle},
    {kMargins, L"余白付加(&A)...", nullptr, kImageIdle},
    {kRotate, L"任意角度回転(&O)...", nullptr, kImageIdle},
    {kTurn90, L"90度回転(&R)", L"90度回転", kImageIdle},
    {kTurn180, L"180度回転(&B)", nullptr, kImageIdle},
    {kTurn270, L"270度回転(&L)", L"270度回転", kImageIdle},
    {kMirror, L"左右反転(&M)", nullptr, kImageIdle},
    {kFlip, L"上下反転(&F)", nullptr, kImageIdle},
    {kHistogramCorrection, L"ヒストグラム補正(&H)...", nullptr, kImageIdle},
    {kGamma, L"ガンマ補正(&G)...", nullptr, kImageIdle},
    {kBrightness, L"明るさ補正(&B)...", nullptr, kImageIdle},
    {kContrast, L"コントラスト(&C)...", nullptr, kImageIdle},
    {kHueSaturation, L"色相/彩度(&V)...", nullptr, kImageIdle},
    {kInvert, L"階調反転(&N)", nullptr, kImageIdle},
    {kUnsharpMask, L"アンシャープマスク(&U)...", nullptr, kImageIdle},
    {kBlur, L"ぼかし(&S)...", nullptr, kImageIdle},
    {kSoftFocus, L"ソフトフォーカス(&F)...", nullptr, kImageIdle},
    {kHistogram, L"ヒストグラム表示(&H)", nullptr, kImageIdle},
    {kColourCount, L"使用色数確認(&C)", nullptr, kImageIdle},
    {kFit, L"画面に合わせて表示(&A)", L"画面に合わせて表示", kNeedsImage},
    {kZoom100, L"等倍表示<100%>(&E)", L"等倍表示<100%>", kNeedsImage},
    {kZoomIn, L"拡大表示(&U)", L"拡大表示", kNeedsImage},
    {kZoomOut, L"縮小表示(&D)", L"縮小表示", kNeedsImage},
    {kSlideshow, L"スライドショー(&S)", L"スライドショー", kImageIdle},
    {kZoomPreset1000, L"1000%(&B)", nullptr, kNeedsImage},
    {kZoomPreset400, L"400%(&F)", nullptr, kNeedsImage},
    {kZoomPreset200, L"200%(&D)", nullptr, kNeedsImage},
    {kZoomPreset50, L"50%(&H)", nullptr, kNeedsImage},
    {kZoomPreset25, L"25%(&Q)", nullptr, kNeedsImage},
    {kZoomPreset10, L"10%(&S)", nullptr, kNeedsImage},
    {kEditWindow, L"編集ウィンドウ(&W)", L"編集ウィンドウ", kNeedsIdle},
    {kFileList, L"ファイルリスト表示(&F)", L"ファイルリスト表示", kImageIdle},
    {kTopmost, L"常に手前に表示(&T)", nullptr},
    {kCentre, L"中央に移動(&C)", nullptr, kNotInFullScreen},
    {kTitleBar, L"タイトルバー(&H)", nullptr, kViewerModeOnly},
    {kFrame, L"ウィンドウ枠(&F)", nullptr, kViewerModeOnly | kNeedsNoTitleBar},
    {kToolbarStrip, L"ツールバー(&V)", nullptr, kNotInEditMode},
    {kBackgroundWhite, L"白(&W)", nullptr},
    {kBackgroundLightGrey, L"ライトグレイ(&L)", nullptr},
    {kBackgroundGrey, L"グレイ(&G)", nullptr},
    {kBackgroundDarkGrey, L"ダークグレイ(&D)", nullptr},
    {kBackgroundBlack, L"黒(&B)", nullptr},
    {kOptions, L"オプション(&O)...", nullptr, kNeedsIdle},
    {kHelp, L"ヘルプ表示(&H)", nullptr, kNeedsIdle},
    {kMouseOperations, L"主なマウス操作(&M)", nullptr, kNeedsIdle},
    {kAbout, L"バージョン情報(&V)", nullptr, kNeedsIdle},
    {kFullScreen, L"全画面表示(&M)", L"通常表示", kNeedsIdle},
    {kMinimise, L"最小化(&N)", L"最小化"},
    {kExit, L"終了(&X)", L"終了"},
    {kFirstFile, L"先頭へ", L"先頭へ", kImageIdle},
    {kLastFile, L"末尾へ", L"末尾へ", kImageIdle},
    {kPreviousFile, L"戻る", L"戻る", kImageIdle},
    {kNextFile, L"進む", L"進む", kImageIdle},
    {kScrollBars, L"スクロールバー表示", nullptr},
    {kSavePreview, L"プレビュー", nullptr, kImageIdle},
    {kPanesSideBySide, L"並べて表示", nullptr},
    {kPaneImage, L"元の画像(ウィンドウ1)", nullptr},
    {kPanePreview, L"プレビュー画像(ウィンドウ2)", nullptr},
};

// Identifiers without a row that need something: keys, registered tools and submenus.
struct NeedsRange {
    int first, last;
    CommandNeeds needs;
};
constexpr NeedsRange kOtherNeeds[] = {
    {kZoomToggle, kZoomToggle, kNeedsImage},
    {kZoomPlus10, kZoomMinus10, kNeedsImage},
    {kScrollLeft, kScrollDown, kNeedsImage},
    {kTool1, kTool8, kNeedsIdle},
    {kImageSubmenu, kImageSubmenu, kNeedsImage},
    {kViewSubmenu, kViewSubmenu, kNeedsImage},
    {kTransformMenu, kCorrectionMenu, kNeedsImage},
};

CommandNeeds NeedsOf(int id) {
    if (const CommandInfo* info = FindCommand(id)) return info->needs;
    for (const NeedsRange& r : kOtherNeeds)
        if (id >= r.first && id <= r.last) return r.needs;
    return 0;
}

using Kind = MenuNode::Kind;
constexpr MenuNode C(int id) { return {Kind::Command, id, nullptr, {}}; }
constexpr MenuNode kSep{Kind::Separator, kSeparatorId, nullptr, {}};

constexpr MenuNode kFile[] = {C(kOpen),    C(kReload),   C(kSaveAs), kSep,     C(kCopy),
                              C(kPaste),   C(kDelete),   kSep,       C(kComment), C(kTextData),
                              kSep,        C(kWallpaper), kSep,      C(kPrint)};
constexpr MenuNode kTransform[] = {C(kTrim),   C(kResize),  C(kMargins), kSep,      C(kRotate),
                                   kSep,       C(kTurn90),  C(kTurn180), C(kTurn270), kSep,
                                   C(kMirror), C(kFlip)};
constexpr MenuNode kCorrections[] = {C(kHistogramCorrection), kSep, C(kGamma), C(kBrightness),
                                     C(kContrast), kSep, C(kHueSaturation), C(kInvert), kSep,
                                     C(kUnsharpMask), C(kBlur), C(kSoftFocus)};
constexpr MenuNode kImage[] = {{Kind::Submenu, kTransformSubmenu, L"変形(&S)", kTransform},
                               {Kind::Submenu, kCorrectionSubmenu, L"画質補正(&R)", kCorrections},
                               kSep,
                               C(kHistogram),
                               C(kColourCount)};
constexpr MenuNode kView[] = {C(kFit), C(kZoom100), kSep, C(kZoomIn), C(kZoomOut), kSep, C(kSlideshow)};
constexpr MenuNode kBackground[] = {C(kBackgroundWhite), C(kBackgroundLightGrey), C(kBackgroundGrey),
                                    C(kBackgroundDarkGrey), C(kBackgroundBlack)};
constexpr MenuNode kWindow[] = {kSep,           {Kind::Submenu, kBackgroundSubmenu, L"背景色(&B)", kBackground},
                                C(kEditWindow), C(kFileList),
                                kSep,           C(kTopmost),
                                C(kCentre),     kSep,
                                C(kTitleBar),   C(kFrame),
                                C(kToolbarStrip)};
constexpr MenuNode kTools[] = {{Kind::Tools, 0, nullptr, {}}, kSep, C(kOptions)};
constexpr MenuNode kHelpMenu[] = {C(kHelp), kSep, C(kMouseOperations), C(kAbout)};
constexpr MenuNode kContext[] = {
    {Kind::Submenu, kFileSubmenu, L"ファイル(&F)", kFile},
    {Kind::Submenu, kImageSubmenu, L"イメージ(&I)", kImage},
    {Kind::Submenu, kViewSubmenu, L"ビュー(&V)", kView},
    {Kind::Submenu, kWindowSubmenu, L"ウィンドウ(&W)", kWindow},
    {Kind::Submenu, kToolsSubmenu, L"ツール(&T)", kTools},
    {Kind::Submenu, kHelpSubmenu, L"ヘルプ(&H)", kHelpMenu},
    C(kFullScreen), C(kMinimise), C(kExit)};
constexpr MenuNode kZoom[] = {C(kZoomPreset1000), C(kZoomPreset400), C(kZoomPreset200),
                              C(kZoomPreset50),   C(kZoomPreset25),  C(kZoomPreset10)};

}  // namespace

const CommandInfo* FindCommand(int id) {
    for (const CommandInfo& c : kCommands)
        if (c.id == id) return &c;
    return nullptr;
}

bool CommandEnabled(int id, const CommandContext& c) {
    using Mode = CommandContext::Mode;
    CommandNeeds met = 0;
    if (c.imageLoaded) met |= kNeedsImage;
    if (c.hasPath) met |= kNeedsPath;
    if (!c.operationRunning || c.mode != Mode::Edit) met |= kNeedsIdle;
    if (c.commentFormat) met |= kNeedsCommentFormat;
    if (c.hasTextData) met |= kNeedsTextData;
    if (c.clipboardImage) met |= kNeedsClipboardImage;
    if (!c.titleBar) met |= kNeedsNoTitleBar;
    if (c.mode != Mode::Edit) met |= kNotInEditMode;
    if (c.mode != Mode::FullScreen) met |= kNotInFullScreen;
    return (NeedsOf(id) & ~met) == 0;
}

int MouseActionCommand(int action) {
    switch (action) {
    case 1: return kEditWindow;
    case 2: return kFullScreen;
    case 3: return kMinimise;
    default: return kExit;
    }
}

std::wstring ToolCaption(const std::wstring& name, int index) {
    return name.substr(0, 27) + L"(&" + std::to_wstring(index + 1) + L")";
}

std::wstring ToolTipText(int id, const AccelTable& table) {
    const CommandInfo* c = FindCommand(id);
    if (!c || !c->shortCaption) return {};
    return TipWithShortcut(c->shortCaption, id, table);
}

std::wstring TipWithShortcut(std::wstring tip, int id, const AccelTable& table) {
    for (const Accel& a : table) {
        if (a.command != id) continue;
        std::wstring keys = ShortcutText(a);
        if (!keys.empty()) tip += L" (" + keys + L")";
        break;
    }
    return tip;
}

std::span<const MenuNode> ContextMenu() { return kContext; }
std::span<const MenuNode> ZoomMenu() { return kZoom; }

}  // namespace pelio
