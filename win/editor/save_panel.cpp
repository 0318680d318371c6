// The save settings panel. Win32.
#include "win/editor/save_panel.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <iterator>

#include "core/commands/command_ids.h"
#include "core/commands/command_table.h"
#include "core/settings/save_panel.h"
#include "resources/resource_ids.h"
#include "win/base/app_state.h"
#include "win/base/toolbar_support.h"
#include "win/editor/edit_panes.h"
#include "win/editor/edit_state.h"
#include "win/editor/edit_toolbars.h"
#include "win/editor/save_pipeline.h"
#include "win/image/current_image.h"
#include "win/image/save_dispatch.h"
#include "win/editor/colour_box.h"
#include "win/editor/colour_pick.h"

namespace pelio {

namespace {

enum ControlId : int {
    kFormatList = 1030,
    kDepthList = 1031,
    kColourBox = 1050,
    kGammaField = 1051,
    kLevelField = 1052,
    kLevelUpDown = 1053,
    kFilterList = 1054,
    kQualityField = 1060,
    kQualityUpDown = 1061,
    kSizeLimitSwitch = 1070,
    kSizeLimitField = 1071,
    kSizeLimitUpDown = 1072,
    kSizeLimitLabel = 1073,
};

constexpr int kPanelIndent = 213;

struct PanelButton {
    int id;
    int image;  // -1: separator; -2: placeholder
    int width;  // placeholders
    const wchar_t* tip;
};

constexpr PanelButton kButtons[] = {
    {cmd::kDither, 0, 0, L"誤差拡散(減色用)"},
    {0, -1, 0, nullptr},
    {cmd::kSavePreview, 1, 0, L"プレビュー"},
    {kSeparator9930, -1, 0, nullptr},
    {kPlaceholder9940, -2, 110, nullptr},
    {kSeparator9931, -1, 0, nullptr},
    {cmd::kTransparency, 3, 0, L"透過色選択/保存"},
    {kPlaceholder9941, -2, 21, nullptr},
    {kSeparator9932, -1, 0, nullptr},
    {cmd::kInterlace, 2, 0, L"インターレース"},
    {kSeparator9933, -1, 0, nullptr},
    {cmd::kWriteGamma, 4, 0, L"ガンマ補正値保存"},
    {kPlaceholder9942, -2, 38, nullptr},
    {cmd::kSampling41, 6, 0, L"サンプル比 4:1"},
    {cmd::kSampling41 + 1, 7, 0, L"サンプル比 2:1"},
    {cmd::kSampling11, 8, 0, L"サンプル比 1:1"},
    {cmd::kMarkersNone, 9, 0, L"すべてのマーカーを破棄"},
    {cmd::kMarkersNone + 1, 10, 0, L"コメントマーカーのみ保存"},
    {cmd::kMarkersAll, 11, 0, L"すべてのマーカーを保存"},
    {kSeparator9934, -1, 0, nullptr},
    {cmd::kProgressive, 5, 0, L"プログレッシブ"},
    {kSeparator9935, -1, 0, nullptr},
    {cmd::kCommentSwitch, 13, 0, L"コメント作成/保存"},
    {cmd::kJpegTrim, 12, 0, L"変換不能領域削除"},
    {kSeparator9936, -1, 0, nullptr},
};

struct ControlTip {
    int id;
    const wchar_t* tip;
};
constexpr ControlTip kControlTips[] = {
    {kFormatList, L"保存ファイル形式"}, {kDepthList, L"ビット深度"},   {kLevelField, L"圧縮レベル"},
    {kFilterList, L"フィルター"},       {kColourBox, L"透過色/選択"},  {kGammaField, L"ガンマ補正値"},
    {kQualityField, L"画質"},
};
constexpr const wchar_t* kFilterNames[] = {L"Auto", L"None", L"Sub", L"Up", L"Average", L"Paeth"};

struct PanelState {
    HWND bar = nullptr;
    HWND formatList = nullptr, depthList = nullptr, colourBox = nullptr, gammaField = nullptr;
    HWND levelField = nullptr, levelUpDown = nullptr, filterList = nullptr;
    HWND qualityField = nullptr, qualityUpDown = nullptr;
    HWND sizeSwitch = nullptr, sizeField = nullptr, sizeUpDown = nullptr, sizeLabel = nullptr;
    bool picking = false;
    COLORREF pickColour = 0;
    bool pickColourShown = false;
    bool refreshing = false;  // lists being filled by the program
    // Widths fitted to the texts in the UI font (at least the panel's own).
    int gammaW = 35, sizeSwitchW = 75, sizeLabelW = 50;
};

PanelState& Panel() {
    static PanelState state;
    return state;
}

ImageSaveSettings& Save() { return App().settings.save; }

HWND Child(const wchar_t* cls, const wchar_t* text, DWORD style, int id, int w, int h, DWORD ex = 0) {
    HWND hwnd = CreateWindowExW(ex, cls, text, WS_CHILD | style, 0, 0, w, h, Panel().bar,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), App().instance, nullptr);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(App().uiFont), FALSE);
    return hwnd;
}

HWND DropList(int id, int x, int width) {
    HWND list = Child(WC_COMBOBOXW, nullptr, WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, id, width, 200);
    SetWindowPos(list, nullptr, x, 1, width, 200, SWP_NOZORDER);
    SendMessageW(list, CB_SETEXTENDEDUI, TRUE, 0);
    return list;
}

HWND NumberField(int id, int w, int limit) {
    HWND field = Child(WC_EDITW, nullptr, ES_LEFT | ES_AUTOHSCROLL, id, w, 18, WS_EX_CLIENTEDGE);
    SendMessageW(field, EM_LIMITTEXT, limit, 0);
    return field;
}

HWND UpDown(int id, HWND buddy, int low, int high, int pos) {
    HWND ud = Child(UPDOWN_CLASSW, nullptr, UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                    id, 0, 0);
    SendMessageW(ud, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    SendMessageW(ud, UDM_SETRANGE32, low, high);
    SendMessageW(ud, UDM_SETPOS32, 0, pos);
    return ud;
}

void SetButton(int id, ItemState state) {
    HWND bar = Panel().bar;
    SendMessageW(bar, TB_HIDEBUTTON, id, MAKELPARAM(state == ItemState::Hidden, 0));
    SendMessageW(bar, TB_ENABLEBUTTON, id, MAKELPARAM(state == ItemState::Shown || state == ItemState::Pressed, 0));
    SendMessageW(bar, TB_CHECKBUTTON, id, MAKELPARAM(state == ItemState::Pressed, 0));
}

RECT ItemRect(int id) {
    RECT r{};
    SendMessageW(Panel().bar, TB_GETRECT, id, reinterpret_cast<LPARAM>(&r));
    return r;
}

// Places a control centred on the button row; a drop-down list is centred by its closed
// height and keeps room for its list below.
void Place(HWND control, int x, int w, int h, bool shown) {
    if (!control) return;
    if (shown) {
        RECT bar{};
        GetClientRect(Panel().bar, &bar);
        const RECT button = ItemRect(cmd::kDither);
        const int rowH = button.bottom > button.top ? button.bottom - button.top : bar.bottom;
        wchar_t cls[16] = L"";
        GetClassNameW(control, cls, 16);
        const bool list = lstrcmpiW(cls, WC_COMBOBOXW) == 0;
        const int shownH = list ? static_cast<int>(SendMessageW(control, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0)) + 6 : h;
        SetWindowPos(control, nullptr, x, button.top + (rowH - shownH) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
}

void PlaceUpDown(HWND ud, HWND buddy, bool shown) {
    SendMessageW(ud, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);  // re-attaches at the buddy's side
    ShowWindow(ud, shown ? SW_SHOWNA : SW_HIDE);
}

void ApplySizeLimitEnabling() {
    PanelState& p = Panel();
    const bool limit = Save().jpgLimit;
    EnableWindow(p.qualityField, !limit);
    EnableWindow(p.qualityUpDown, !limit);
    EnableWindow(p.sizeField, limit);
    EnableWindow(p.sizeUpDown, limit);
    EnableWindow(p.sizeLabel, limit);
}

void ApplyRules() {
    PanelState& p = Panel();
    const CurrentImage& image = Current();
    PanelFacts facts;
    facts.hasImage = image.Loaded();
    facts.imageBits = image.Loaded() ? image.bitCount : 0;
    facts.transparent = App().transparentSwitch;
    facts.comment = Saves().writeComment;
    const PanelLayout l = ApplyFormatRules(Save(), facts);
    SendMessageW(p.bar, TB_CHECKBUTTON, cmd::kDither, MAKELPARAM(Save().dither == 0, 0));
    for (const PanelItem& item : l.items) SetButton(item.id, item.state);
    if (l.placeholderWidth) {
        TBBUTTONINFOW info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_SIZE;
        info.cx = static_cast<WORD>(l.placeholderWidth);
        SendMessageW(p.bar, TB_SETBUTTONINFOW, kPlaceholder9940, reinterpret_cast<LPARAM>(&info));
    }
    EnableWindow(p.depthList, l.depthListEnabled);
    EnableWindow(p.filterList, l.filterEnabled);

    const RECT ph40 = ItemRect(kPlaceholder9940), ph41 = ItemRect(kPlaceholder9941), ph42 = ItemRect(kPlaceholder9942);
    Place(p.levelField, ph40.left, 36, 18, l.pngFields);
    PlaceUpDown(p.levelUpDown, p.levelField, l.pngFields);
    Place(p.filterList, ph40.left + 40, 70, 200, l.pngFields);
    Place(p.gammaField, ph42.left + 2, p.gammaW, 18, l.pngFields);
    Place(p.qualityField, ph40.left, 45, 18, l.jpegFields);
    PlaceUpDown(p.qualityUpDown, p.qualityField, l.jpegFields);
    // The size-limit group follows the last item of the JPEG layout.
    const int sizeX = ItemRect(kSeparator9936).right + 2;
    const int sizeFieldX = sizeX + p.sizeSwitchW + 1;
    Place(p.sizeSwitch, sizeX, p.sizeSwitchW, 16, l.jpegFields);
    Place(p.sizeField, sizeFieldX, 52, 18, l.jpegFields);
    PlaceUpDown(p.sizeUpDown, p.sizeField, l.jpegFields);
    Place(p.sizeLabel, sizeFieldX + 54, p.sizeLabelW, 12, l.jpegFields);
    // The colour box sits on its placeholder, which follows the transparency button in both
    // layouts (GIF has no compression group before it).
    Place(p.colourBox, ph41.left + 2, 18, 18, l.colourBox != ColourBoxPlace::Hidden);
    if (l.colourBox != ColourBoxPlace::Hidden) InvalidateRect(p.colourBox, nullptr, TRUE);
    ApplySizeLimitEnabling();
}

void FillDepthList() {
    PanelState& p = Panel();
    p.refreshing = true;
    SendMessageW(p.depthList, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& entry : DepthEntries(Save().format))
        SendMessageW(p.depthList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    const int imageBits = Current().Loaded() ? Current().bitCount : 0;
    SendMessageW(p.depthList, CB_SETCURSEL, SelectDepthEntry(Save(), imageBits), 0);
    p.refreshing = false;
}

void FillFormatList() {
    PanelState& p = Panel();
    p.refreshing = true;
    SendMessageW(p.formatList, CB_RESETCONTENT, 0, 0);
    const CurrentImage& image = Current();
    const bool lossless = OffersLosslessJpeg(image.Loaded(), image.format == ImageFormat::Jpeg);
    const auto& names = SaveFormatNames();
    for (size_t i = 0; i < names.size() - (lossless ? 0 : 1); ++i)
        SendMessageW(p.formatList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i].c_str()));
    if (!lossless && Save().format == static_cast<int>(SaveFormat::JpegLossless))
        Save().format = static_cast<int>(SaveFormat::Jpeg);
    SendMessageW(p.formatList, CB_SETCURSEL, Save().format, 0);
    p.refreshing = false;
}

std::wstring FieldText(HWND field) {
    wchar_t text[64] = L"";
    GetWindowTextW(field, text, 64);
    return text;
}

void Store(HWND field, const FieldResult& r, int& target) {
    target = r.value;
    if (r.rewrite) SetWindowTextW(field, r.text.c_str());
}

// Reads one of the four text fields into the settings; false for other controls.
bool ValidateField(HWND field) {
    PanelState& p = Panel();
    ImageSaveSettings& s = Save();
    if (field == p.levelField) Store(field, ReadLevelField(FieldText(field)), s.level);
    else if (field == p.qualityField) Store(field, ReadQualityField(FieldText(field)), s.quality);
    else if (field == p.sizeField) Store(field, ReadSizeLimitField(FieldText(field)), s.jpgLmtVal);
    else if (field == p.gammaField) Store(field, ReadGammaField(FieldText(field)), s.saveGam);
    else return false;
    return true;
}

// The transparent colour under the pointer shows in the colour box; a click takes it, a
// click outside or Esc switches the transparency off again.
void PickHover(void*, bool over, COLORREF colour) {
    PanelState& p = Panel();
    p.pickColourShown = over;
    p.pickColour = colour;
    InvalidateRect(p.colourBox, nullptr, TRUE);
}

void PickEnd(void*, bool taken, COLORREF colour) {
    PanelState& p = Panel();
    p.picking = false;
    if (taken) {
        Save().alphaR = GetRValue(colour);
        Save().alphaG = GetGValue(colour);
        Save().alphaB = GetBValue(colour);
    } else {
        App().transparentSwitch = false;
    }
    p.pickColourShown = false;
    ApplyRules();
    InvalidateRect(p.colourBox, nullptr, TRUE);
    UpdateEditTitle();
}

void StartPick() {
    PanelState& p = Panel();
    EditWindowState& e = EditState();
    App().transparentSwitch = !App().transparentSwitch;
    if (!App().transparentSwitch) {
        ApplyRules();
        return;
    }
    if (App().fileList) ShowWindow(App().fileList, SW_HIDE);
    p.picking = true;
    p.pickColourShown = false;
    if (e.paneMode != PaneMode::ImageOnly) SetPaneMode(PaneMode::ImageOnly);
    StartColourPick({PickHover, PickEnd});
    ApplyRules();
}

void ChooseTransparentColour() {
    ImageSaveSettings& s = Save();
    COLORREF colour = RGB(s.alphaR, s.alphaG, s.alphaB);
    if (!ChooseColourDialog(EditState().window, colour)) return;
    s.alphaR = GetRValue(colour);
    s.alphaG = GetGValue(colour);
    s.alphaB = GetBValue(colour);
    App().transparentSwitch = true;
    ApplyRules();
}

}  // namespace

HWND BuildSavePanel(HWND rebar) {
    PanelState& p = Panel();
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                        CCS_NORESIZE | CCS_NOPARENTALIGN;
    p.bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 780, 24, rebar,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSavePanelId)), App().instance, nullptr);
    SendMessageW(p.bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(p.bar, TB_SETPARENT, reinterpret_cast<WPARAM>(EditState().window), 0);
    SendMessageW(p.bar, WM_SETFONT, reinterpret_cast<WPARAM>(App().uiFont), FALSE);
    SendMessageW(p.bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 16));
    SendMessageW(p.bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(LoadToolbarImages(IDB_SAVE_PANEL, IDB_SAVE_PANEL_COUNT)));
    SendMessageW(p.bar, TB_SETINDENT, kPanelIndent, 0);
    p.gammaW = FittedWidth(TextControl::Field, L"0.000", 35);
    p.sizeSwitchW = FittedWidth(TextControl::Check, L"サイズ指定", 75);
    p.sizeLabelW = FittedWidth(TextControl::Label, L"KB 以下", 50);
    for (const PanelButton& row : kButtons) {
        TBBUTTON b{};
        b.idCommand = row.id;
        b.iBitmap = row.image >= 0 ? row.image : row.image == -2 ? I_IMAGENONE : 0;
        b.fsStyle = row.image == -1 ? BTNS_SEP : row.id == cmd::kSavePreview || row.image == -2 ? BTNS_BUTTON : BTNS_CHECK;
        b.fsState = row.image == -2 ? 0 : TBSTATE_ENABLED;
        SendMessageW(p.bar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&b));
        if (row.image == -2) {
            TBBUTTONINFOW info{};
            info.cbSize = sizeof info;
            info.dwMask = TBIF_SIZE;
            info.cx = static_cast<WORD>(row.id == kPlaceholder9942 ? std::max(row.width, p.gammaW + 3) : row.width);
            SendMessageW(p.bar, TB_SETBUTTONINFOW, row.id, reinterpret_cast<LPARAM>(&info));
        }
    }

    const ImageSaveSettings& s = Save();
    p.formatList = DropList(kFormatList, 0, 100);
    p.depthList = DropList(kDepthList, 104, 105);
    p.levelField = NumberField(kLevelField, 36, 1);
    p.levelUpDown = UpDown(kLevelUpDown, p.levelField, 0, 9, s.level);
    p.filterList = DropList(kFilterList, 0, 70);
    for (const wchar_t* name : kFilterNames) SendMessageW(p.filterList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageW(p.filterList, CB_SETCURSEL, s.filter, 0);
    p.colourBox = Child(L"Pelio_cbox_class", nullptr, WS_BORDER, kColourBox, 18, 18);
    static constexpr ColourBoxBehaviour kTransparentBox = {
        [](const void*) -> COLORREF {
            const ImageSaveSettings& s = Save();
            const PanelState& p = Panel();
            return p.picking && p.pickColourShown ? p.pickColour : RGB(s.alphaR, s.alphaG, s.alphaB);
        },
        [](HWND, void*) {
            if (!EditState().operation && !Panel().picking) ChooseTransparentColour();
        },
    };
    AttachColourBox(p.colourBox, kTransparentBox, nullptr);
    p.gammaField = NumberField(kGammaField, p.gammaW, 5);
    SetWindowTextW(p.gammaField, GammaText(s.saveGam).c_str());
    p.qualityField = NumberField(kQualityField, 45, 3);
    p.qualityUpDown = UpDown(kQualityUpDown, p.qualityField, 1, 100, s.quality);
    p.sizeSwitch = Child(WC_BUTTONW, L"サイズ指定", BS_AUTOCHECKBOX, kSizeLimitSwitch, p.sizeSwitchW, 16);
    SendMessageW(p.sizeSwitch, BM_SETCHECK, s.jpgLimit ? BST_CHECKED : BST_UNCHECKED, 0);
    p.sizeField = NumberField(kSizeLimitField, 52, 5);
    p.sizeUpDown = UpDown(kSizeLimitUpDown, p.sizeField, 1, 32767, s.jpgLmtVal);
    p.sizeLabel = Child(WC_STATICW, L"KB 以下", 0, kSizeLimitLabel, p.sizeLabelW, 12);

    HWND tips = reinterpret_cast<HWND>(SendMessageW(p.bar, TB_GETTOOLTIPS, 0, 0));
    for (const ControlTip& t : kControlTips) {
        TTTOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = p.bar;
        ti.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(p.bar, t.id));
        ti.lpszText = const_cast<wchar_t*>(t.tip);
        if (tips) SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    FillFormatList();
    FillDepthList();
    ApplyRules();
    return p.bar;
}

HWND SavePanelHandle() { return Panel().bar; }

std::wstring SavePanelTipText(int id) {
    for (const PanelButton& row : kButtons) {
        if (row.id != id || !row.tip) continue;
        if (id == cmd::kSavePreview) return TipWithShortcut(row.tip, id, App().accelTable);
        return row.tip;
    }
    return {};
}

void RefreshSavePanel() {
    if (!Panel().bar) return;
    FillFormatList();
    FillDepthList();
    ApplyRules();
}

bool SavePanelCommand(int id) {
    ImageSaveSettings& s = Save();
    switch (id) {
    case cmd::kDither: s.dither = s.dither == 0 ? 3 : 0; break;
    case cmd::kInterlace: s.interlace = !s.interlace; break;
    case cmd::kWriteGamma: s.gamma = !s.gamma; break;
    case cmd::kProgressive: s.progressive = !s.progressive; break;
    case cmd::kJpegTrim: s.jpgTrim = !s.jpgTrim; break;
    case cmd::kTransparency:
        if (Current().Loaded() && !EditState().operation) StartPick();
        else ApplyRules();
        return true;
    case cmd::kCommentSwitch:
        break;  // the comment editor has set the switch; the button shows it
    default:
        if (id >= cmd::kSampling41 && id <= cmd::kSampling11) s.sampling = id - cmd::kSampling41;
        else if (id >= cmd::kMarkersNone && id <= cmd::kMarkersAll) s.jMarker = id - cmd::kMarkersNone;
        else return false;
    }
    ApplyRules();
    return true;
}

bool IsSavePanelControl(int id) {
    switch (id) {
    case kFormatList: case kDepthList: case kGammaField: case kLevelField: case kFilterList:
    case kQualityField: case kSizeLimitSwitch: case kSizeLimitField:
        return true;
    }
    return false;
}

bool SavePanelControl(int id, int code, HWND control) {
    PanelState& p = Panel();
    EditWindowState& e = EditState();
    ImageSaveSettings& s = Save();
    switch (id) {
    case kFormatList:
    case kDepthList:
    case kFilterList:
        switch (code) {
        case CBN_SETFOCUS:
        case CBN_DROPDOWN:
            e.editHasFocus = true;
            return true;
        case CBN_KILLFOCUS:
            e.editHasFocus = false;
            return true;
        case CBN_SELCHANGE: {
            if (p.refreshing) return true;
            const int selected = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
            if (selected < 0) return true;
            if (id == kFormatList) {
                s.format = selected;
                ApplyRules();
                FillDepthList();
                ApplyRules();
            } else if (id == kDepthList) {
                ChooseDepthEntry(s, selected);
                ApplyRules();
            } else {
                s.filter = selected;
            }
            return true;
        }
        }
        return true;
    case kLevelField:
    case kQualityField:
    case kSizeLimitField:
    case kGammaField:
        switch (code) {
        case EN_SETFOCUS:
            RebarFieldFocus(control, true);
            return true;
        case EN_KILLFOCUS:
            RebarFieldFocus(control, false);
            ValidateField(control);
            return true;
        }
        return true;
    case kSizeLimitSwitch:
        if (code == BN_CLICKED) {
            s.jpgLimit = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
            ApplySizeLimitEnabling();
        }
        return true;
    }
    return false;
}

bool ValidateFocusedPanelField() { return ValidateField(GetFocus()); }

void OnPanelUpDown(HWND upDown) {
    const HWND buddy = reinterpret_cast<HWND>(SendMessageW(upDown, UDM_GETBUDDY, 0, 0));
    if (buddy && GetParent(upDown) == Panel().bar) ValidateField(buddy);
}

}  // namespace pelio
