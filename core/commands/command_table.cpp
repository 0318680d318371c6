// Command captions and the menu structure. Portable.
#include "core/commands/command_table.h"

#include "core/commands/command_ids.h"
#include "core/commands/key_names.h"

namespace pelio {

namespace {

using namespace cmd;

constexpr CommandInfo kCommands[] = {
    {kOpen, L"開く(&O)...", L"開く"},
    {kReload, L"開き直す(&B)", nullptr},
    {kSaveAs, L"名前を付けて保存(&S)...", nullptr},
    {kCopy, L"コピー(&C)", nullptr},
    {kPaste, L"貼り付け(&V)", nullptr},
    {kDelete, L"削除(&D)", nullptr},
    {kComment, L"コメント表示/編集(&E)...", nullptr},
    {kTextData, L"テキストデータ表示(&T)", nullptr},
    {kWallpaper, L"壁紙に設定(&W)...", nullptr},
    {kPrint, L"印刷(プレビュー)(&P)...", nullptr},
    {kTrim, L"トリミング(&T)...", nullptr},
    {kResize, L"リサイズ(&Z)...", nullptr},
    {kMargins, L"余白付加(&A)...", nullptr},
    {kRotate, L"任意角度回転(&O)...", nullptr},
    {kTurn90, L"90度回転(&R)", L"90度回転"},
    {kTurn180, L"180度回転(&B)", nullptr},
    {kTurn270, L"270度回転(&L)", L"270度回転"},
    {kMirror, L"左右反転(&M)", nullptr},
    {kFlip, L"上下反転(&F)", nullptr},
    {kHistogramCorrection, L"ヒストグラム補正(&H)...", nullptr},
    {kGamma, L"ガンマ補正(&G)...", nullptr},
    {kBrightness, L"明るさ補正(&B)...", nullptr},
    {kContrast, L"コントラスト(&C)...", nullptr},
    {kHueSaturation, L"色相/彩度(&V)...", nullptr},
    {kInvert, L"階調反転(&N)", nullptr},
    {kUnsharpMask, L"アンシャープマスク(&U)...", nullptr},
    {kBlur, L"ぼかし(&S)...", nullptr},
    {kSoftFocus, L"ソフトフォーカス(&F)...", nullptr},
    {kHistogram, L"ヒストグラム表示(&H)", nullptr},
    {kColourCount, L"使用色数確認(&C)", nullptr},
    {kFit, L"画面に合わせて表示(&A)", L"画面に合わせて表示"},
    {kZoom100, L"等倍表示<100%>(&E)", L"等倍表示<100%>"},
    {kZoomIn, L"拡大表示(&U)", L"拡大表示"},
    {kZoomOut, L"縮小表示(&D)", L"縮小表示"},
    {kSlideshow, L"スライドショー(&S)", L"スライドショー"},
    {5260, L"1000%(&B)", nullptr},
    {5261, L"400%(&F)", nullptr},
    {5262, L"200%(&D)", nullptr},
    {5263, L"50%(&H)", nullptr},
    {5264, L"25%(&Q)", nullptr},
    {5265, L"10%(&S)", nullptr},
    {kEditWindow, L"編集ウィンドウ(&W)", L"編集ウィンドウ"},
    {kFileList, L"ファイルリスト表示(&F)", L"ファイルリスト表示"},
    {kTopmost, L"常に手前に表示(&T)", nullptr},
    {kCentre, L"中央に移動(&C)", nullptr},
    {kTitleBar, L"タイトルバー(&H)", nullptr},
    {kFrame, L"ウィンドウ枠(&F)", nullptr},
    {kToolbarStrip, L"ツールバー(&V)", nullptr},
    {5341, L"白(&W)", nullptr},
    {5342, L"ライトグレイ(&L)", nullptr},
    {5343, L"グレイ(&G)", nullptr},
    {5344, L"ダークグレイ(&D)", nullptr},
    {5345, L"黒(&B)", nullptr},
    {kOptions, L"オプション(&O)...", nullptr},
    {kHelp, L"ヘルプ表示(&H)", nullptr},
    {kMouseOperations, L"主なマウス操作(&M)", nullptr},
    {kAbout, L"バージョン情報(&V)", nullptr},
    {kFullScreen, L"全画面表示(&M)", L"通常表示"},
    {kMinimise, L"最小化(&N)", L"最小化"},
    {kExit, L"終了(&X)", L"終了"},
    {kFirstFile, L"先頭へ", L"先頭へ"},
    {kLastFile, L"末尾へ", L"末尾へ"},
    {kPreviousFile, L"戻る", L"戻る"},
    {kNextFile, L"進む", L"進む"},
    {kScrollBars, L"スクロールバー表示", nullptr},
    {kSavePreview, L"プレビュー", nullptr},
    {kPanesSideBySide, L"並べて表示", nullptr},
    {kPaneImage, L"元の画像(ウィンドウ1)", nullptr},
    {kPanePreview, L"プレビュー画像(ウィンドウ2)", nullptr},
};

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
constexpr MenuNode kImage[] = {{Kind::Submenu, 5106, L"変形(&S)", kTransform},
                               {Kind::Submenu, 5107, L"画質補正(&R)", kCorrections},
                               kSep,
                               C(kHistogram),
                               C(kColourCount)};
constexpr MenuNode kView[] = {C(kFit), C(kZoom100), kSep, C(kZoomIn), C(kZoomOut), kSep, C(kSlideshow)};
constexpr MenuNode kBackground[] = {C(5341), C(5342), C(5343), C(5344), C(5345)};
constexpr MenuNode kWindow[] = {kSep,           {Kind::Submenu, 5340, L"背景色(&B)", kBackground},
                                C(kEditWindow), C(kFileList),
                                kSep,           C(kTopmost),
                                C(kCentre),     kSep,
                                C(kTitleBar),   C(kFrame),
                                C(kToolbarStrip)};
constexpr MenuNode kTools[] = {{Kind::Tools, 0, nullptr, {}}, kSep, C(kOptions)};
constexpr MenuNode kHelpMenu[] = {C(kHelp), kSep, C(kMouseOperations), C(kAbout)};
constexpr MenuNode kContext[] = {
    {Kind::Submenu, 5000, L"ファイル(&F)", kFile},  {Kind::Submenu, 5100, L"イメージ(&I)", kImage},
    {Kind::Submenu, 5200, L"ビュー(&V)", kView},    {Kind::Submenu, 5300, L"ウィンドウ(&W)", kWindow},
    {Kind::Submenu, 5400, L"ツール(&T)", kTools},   {Kind::Submenu, 5500, L"ヘルプ(&H)", kHelpMenu},
    C(kFullScreen), C(kMinimise), C(kExit)};
constexpr MenuNode kZoom[] = {C(5260), C(5261), C(5262), C(5263), C(5264), C(5265)};

}  // namespace

const CommandInfo* FindCommand(int id) {
    for (const CommandInfo& c : kCommands)
        if (c.id == id) return &c;
    return nullptr;
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
