// Options dialog. Win32.
#include "win/frame/options_dialog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
#include <uxtheme.h>

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "core/settings/options_form.h"
#include "core/settings/settings.h"
#include "resources/resource_ids.h"
#include "win/base/app_state.h"
#include "win/base/frame_link.h"
#include "win/base/ini_store.h"
#include "win/base/menus.h"
#include "win/base/report_list.h"
#include "win/editor/colour_box.h"
#include "win/editor/edit_panes.h"
#include "win/editor/save_pipeline.h"
#include "win/frame/key_dialog.h"
#include "win/image/current_image.h"
#include "win/image/load_dispatch.h"
#include "win/image/plugin_host.h"
#include "win/shell/file_associations.h"
#include "win/shell/old_associations.h"
#include "win/shell/send_to.h"
#include "win/shell/wallpaper.h"
#include "win/viewer/viewer_window.h"

namespace pelio {

namespace {

constexpr int kPageCount = 6;
constexpr int kPageTemplates[kPageCount] = {IDD_OPTIONS_START,   IDD_OPTIONS_ZOOM,    IDD_OPTIONS_MOUSE,
                                            IDD_OPTIONS_TOOLS,   IDD_OPTIONS_PLUGINS, IDD_OPTIONS_REGISTER};
constexpr const wchar_t* kTabTexts[kPageCount] = {L"起動・表示", L"ズーム", L"マウス・キーボード",
                                                  L"ツール",     L"プラグイン", L"登録"};
constexpr wchar_t kSwatchClass[] = L"Pelio_ocol_class";
constexpr wchar_t kNotRegistered[] = L"<未登録>";
constexpr const wchar_t* kMouseActions[] = {L"閉じる", L"ウィンドウ切替", L"全画面切替", L"最小化"};

enum Page { kStartPage, kZoomPage, kMousePage, kToolsPage, kPluginsPage, kRegisterPage };

// Controls by page.
constexpr int kStartRadio = 3120, kDual = 3130, kPosCtrl = 3135, kFirstPosField = 3161, kFirstPosLabel = 3151;
constexpr int kGammaCheck = 3131, kAlphaCheck = 3132, kFbgCheck = 3133, kDisplayGamma = 3160, kSwatch = 3185,
              kColourButton = 3180, kTimeSlider = 3190, kTimeValue = 3150, kRepeat = 3134;
constexpr int kNormalStretch = 3210, kQualityStretch = 3211;
constexpr int kKeepRadios[] = {3213, 3215, 3217};  // "継承" of each row; "等倍" is one below
constexpr int kShrinkEnlarge[] = {3220, 3221, 3222, 3223, 3224, 3225};
constexpr int kWheelReverse = 3226;
constexpr int kBrowseRadios[] = {3311, 3313, 3315};  // "ファイル閲覧"; "拡大/縮小表示" one below
constexpr int kFsAreaZoom = 3351, kSwAreaZoom = 3352, kDoubleClick = 3620, kBothClick = 3621, kKeys = 3360;
constexpr int kToolName = 3410, kToolFile = 3420, kToolFolder = 3430, kToolRemove = 3440;
constexpr int kPluginFolder = 3510, kPluginSet = 3520, kPluginClear = 3530, kPluginList = 3540;
constexpr int kFirstAssociation = 3610, kSendTo = 3630, kOldRemoval = 3660, kOldRemovalNote = 3661;
constexpr int kWallpaperLabel = 3640, kWallpaperDelete = 3650, kNoRecycleMessage = 3631, kMouseInfo = 3632;

struct OptionsRecord {
    HWND dialog = nullptr;
    std::array<HWND, kPageCount> pages{};
    int visible = 0;
    OptionsForm form;                   // the copies: colour, plug-in folder, tool paths
    ImageReadSettings displayReference;  // the display settings at the last Apply
    std::vector<std::wstring> plugins;
    AssociationState associations;  // the registration page as it was opened or last applied
    SendToState sendTo;
    AccelTable keys;  // the key table copy, live on Apply when changed
    bool keysChanged = false;
};

OptionsRecord* g_record = nullptr;

HWND Item(int page, int id) { return GetDlgItem(g_record->pages[size_t(page)], id); }
bool Checked(int page, int id) { return IsDlgButtonChecked(g_record->pages[size_t(page)], id) == BST_CHECKED; }
void Check(int page, int id, bool on) { CheckDlgButton(g_record->pages[size_t(page)], id, on ? BST_CHECKED : BST_UNCHECKED); }
std::wstring Text(int page, int id) {
    HWND item = Item(page, id);
    std::wstring text(size_t(GetWindowTextLengthW(item)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
    return text;
}
void SetText(int page, int id, const std::wstring& text) { SetWindowTextW(Item(page, id), text.c_str()); }

// The current directory, put back after every chooser.
class KeepDirectory {
public:
    KeepDirectory() : length_(GetCurrentDirectoryW(MAX_PATH, path_)) {}
    ~KeepDirectory() {
        if (length_ > 0 && length_ < MAX_PATH) SetCurrentDirectoryW(path_);
    }

private:
    wchar_t path_[MAX_PATH];
    DWORD length_;
};

int CALLBACK FolderChooserStart(HWND chooser, UINT msg, LPARAM, LPARAM start) {
    if (msg == BFFM_INITIALIZED && start) SendMessageW(chooser, BFFM_SETSELECTIONW, TRUE, start);
    return 0;
}

// The system's folder chooser titled `title`, starting at `start`; false on Cancel.
bool ChooseFolder(HWND owner, const wchar_t* title, const std::wstring& start, std::wstring& chosen) {
    KeepDirectory keep;
    wchar_t display[MAX_PATH] = L"";
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pszDisplayName = display;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = FolderChooserStart;
    info.lParam = reinterpret_cast<LPARAM>(start.empty() ? nullptr : start.c_str());
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info);
    if (!item) return false;
    wchar_t path[MAX_PATH] = L"";
    const bool ok = SHGetPathFromIDListW(item, path);
    CoTaskMemFree(item);
    if (ok) chosen = path;
    return ok;
}

bool IsFolder(const std::wstring& path) {
    const DWORD a = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// ---- the swatch of the PNG/GIF background colour

LRESULT CALLBACK SwatchProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT) return DefWindowProcW(hwnd, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    const OptionsForm& f = g_record->form;
    HBRUSH brush = CreateSolidBrush(RGB(f.bgR, f.bgG, f.bgB));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    EndPaint(hwnd, &ps);
    return 0;
}

// ---- pages from the form and back

void EnablePositions() {
    const bool on = Checked(kStartPage, kPosCtrl);
    for (int i = 0; i < 4; ++i) {
        EnableWindow(Item(kStartPage, kFirstPosField + i), on);
        EnableWindow(Item(kStartPage, kFirstPosLabel + i), on);
    }
}

void ShowTime() {
    SetText(kStartPage, kTimeValue, std::to_wstring(SendMessageW(Item(kStartPage, kTimeSlider), TBM_GETPOS, 0, 0)));
}

void ShowTool(int i) {
    const OptionsForm& f = g_record->form;
    SetText(kToolsPage, kToolName + i, f.toolPath[size_t(i)].empty() ? kNotRegistered : f.toolName[size_t(i)]);
}

// The plug-ins of the folder copy, sorted by file name, with their patterns and formats.
void ListPlugins() {
    HWND list = Item(kPluginsPage, kPluginList);
    ListView_DeleteAllItems(list);
    const std::wstring& folder = g_record->form.pluginFolder;
    g_record->plugins = IsFolder(folder) ? PluginNames(folder) : std::vector<std::wstring>{};
    std::vector<std::wstring>& names = g_record->plugins;
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    });
    for (size_t i = 0; i < names.size(); ++i) {
        const PluginDescription d = DescribePluginFile(folder, names[i]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = names[i].data();
        ListView_InsertItem(list, &item);
        std::wstring patterns = d.patterns, formats = d.descriptions;
        ListView_SetItemText(list, static_cast<int>(i), 1, patterns.data());
        ListView_SetItemText(list, static_cast<int>(i), 2, formats.data());
    }
}

void ShowWallpaperControls() {
    const bool present = GetFileAttributesW(WallpaperFilePath().c_str()) != INVALID_FILE_ATTRIBUTES;
    EnableWindow(Item(kRegisterPage, kWallpaperLabel), present);
    EnableWindow(Item(kRegisterPage, kWallpaperDelete), present);
}

void FillPages() {
    const OptionsForm& f = g_record->form;
    CheckRadioButton(g_record->pages[kStartPage], kStartRadio, kStartRadio + 2, kStartRadio + std::clamp(f.start, 0, 2));
    Check(kStartPage, kDual, f.dual);
    Check(kStartPage, kPosCtrl, f.posCtrl);
    for (int i = 0; i < 4; ++i) {
        SendMessageW(Item(kStartPage, kFirstPosField + i), EM_LIMITTEXT, 4, 0);
        SetText(kStartPage, kFirstPosField + i, f.position[size_t(i)]);
    }
    EnablePositions();
    Check(kStartPage, kGammaCheck, f.gamma);
    Check(kStartPage, kAlphaCheck, f.alpha);
    Check(kStartPage, kFbgCheck, f.fbg);
    SetText(kStartPage, kDisplayGamma, f.displayGamma);
    HWND slider = Item(kStartPage, kTimeSlider);
    SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(1, 60));
    SendMessageW(slider, TBM_SETPAGESIZE, 0, 1);
    SendMessageW(slider, TBM_SETPOS, TRUE, std::clamp(f.time, 1, 60));
    ShowTime();
    Check(kStartPage, kRepeat, f.repeat);

    Check(kZoomPage, f.quality ? kQualityStretch : kNormalStretch, true);
    const bool keep[] = {f.nmZoomKeep, f.flZoomKeep, f.swZoomKeep};
    for (int i = 0; i < 3; ++i) Check(kZoomPage, kKeepRadios[i] - (keep[i] ? 0 : 1), true);
    const bool zoomControl[] = {f.vSmall, f.nvLarge, f.fsDown, f.fsUp, f.swSmall, f.swLarge};
    for (int i = 0; i < 6; ++i) Check(kZoomPage, kShrinkEnlarge[i], zoomControl[i]);
    Check(kZoomPage, kWheelReverse, f.wheelRev);

    const bool browse[] = {f.wheelBrowse, f.fsWheelBrowse, f.swWheelBrowse};
    for (int i = 0; i < 3; ++i) Check(kMousePage, kBrowseRadios[i] - (browse[i] ? 0 : 1), true);
    Check(kMousePage, kFsAreaZoom, f.fsAreaZm);
    Check(kMousePage, kSwAreaZoom, f.swAreaZm);
    for (int id : {kDoubleClick, kBothClick}) {
        for (const wchar_t* action : kMouseActions)
            SendMessageW(Item(kMousePage, id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(action));
        SendMessageW(Item(kMousePage, id), CB_SETCURSEL, id == kDoubleClick ? f.dClick : f.lrClick, 0);
    }

    for (int i = 0; i < kToolCount; ++i) ShowTool(i);

    SetText(kPluginsPage, kPluginFolder, f.pluginFolder);
    constexpr ReportColumn kPluginColumns[] = {{L"ファイル名", 80}, {L"対応拡張子", 120}, {L"対応形式", 176}};
    SetUpReportList(Item(kPluginsPage, kPluginList), kPluginColumns);
    ListPlugins();

    ShowWallpaperControls();
    Check(kRegisterPage, kNoRecycleMessage, f.noRecycMsg);
    Check(kRegisterPage, kMouseInfo, f.mouseInfo);
}

// ---- the registration page: associations, the old layout, Send To

void ShowOldRemoval(bool shown) {
    for (int id : {kOldRemoval, kOldRemovalNote}) ShowWindow(Item(kRegisterPage, id), shown ? SW_SHOW : SW_HIDE);
}

void FillRegistration() {
    OptionsRecord& r = *g_record;
    r.associations = ReadAssociations();
    r.sendTo = ReadSendTo();
    for (int i = 0; i < kFileTypeCount; ++i) {
        Check(kRegisterPage, kFirstAssociation + i, r.associations.checked[size_t(i)]);
        EnableWindow(Item(kRegisterPage, kFirstAssociation + i), r.associations.enabled);
    }
    ShowOldRemoval(r.associations.showOldRemoval);
    Check(kRegisterPage, kSendTo, r.sendTo.checked);
}

void ApplyRegistration() {
    OptionsRecord& r = *g_record;
    for (int i = 0; i < kFileTypeCount; ++i)
        r.associations.checked[size_t(i)] = Checked(kRegisterPage, kFirstAssociation + i);
    if (r.associations.enabled) ApplyAssociations(r.associations);
    r.sendTo.checked = Checked(kRegisterPage, kSendTo);
    ApplySendTo(r.sendTo);
}

// The form from the pages (the copies it holds stay).
void ReadPages() {
    OptionsForm& f = g_record->form;
    f.start = Checked(kStartPage, kStartRadio) ? 0 : Checked(kStartPage, kStartRadio + 1) ? 1 : 2;
    f.dual = Checked(kStartPage, kDual);
    f.posCtrl = Checked(kStartPage, kPosCtrl);
    for (int i = 0; i < 4; ++i) f.position[size_t(i)] = Text(kStartPage, kFirstPosField + i);
    f.gamma = Checked(kStartPage, kGammaCheck);
    f.alpha = Checked(kStartPage, kAlphaCheck);
    f.fbg = Checked(kStartPage, kFbgCheck);
    f.displayGamma = Text(kStartPage, kDisplayGamma);
    f.time = static_cast<int>(SendMessageW(Item(kStartPage, kTimeSlider), TBM_GETPOS, 0, 0));
    f.repeat = Checked(kStartPage, kRepeat);
    f.quality = !Checked(kZoomPage, kNormalStretch);
    f.nmZoomKeep = Checked(kZoomPage, kKeepRadios[0]);
    f.flZoomKeep = Checked(kZoomPage, kKeepRadios[1]);
    f.swZoomKeep = Checked(kZoomPage, kKeepRadios[2]);
    bool* zoomControl[] = {&f.vSmall, &f.nvLarge, &f.fsDown, &f.fsUp, &f.swSmall, &f.swLarge};
    for (int i = 0; i < 6; ++i) *zoomControl[i] = Checked(kZoomPage, kShrinkEnlarge[i]);
    f.wheelRev = Checked(kZoomPage, kWheelReverse);
    f.wheelBrowse = Checked(kMousePage, kBrowseRadios[0]);
    f.fsWheelBrowse = Checked(kMousePage, kBrowseRadios[1]);
    f.swWheelBrowse = Checked(kMousePage, kBrowseRadios[2]);
    f.fsAreaZm = Checked(kMousePage, kFsAreaZoom);
    f.swAreaZm = Checked(kMousePage, kSwAreaZoom);
    f.dClick = static_cast<int>(SendMessageW(Item(kMousePage, kDoubleClick), CB_GETCURSEL, 0, 0));
    f.lrClick = static_cast<int>(SendMessageW(Item(kMousePage, kBothClick), CB_GETCURSEL, 0, 0));
    for (int i = 0; i < kToolCount; ++i) f.toolName[size_t(i)] = Text(kToolsPage, kToolName + i);
    f.noRecycMsg = Checked(kRegisterPage, kNoRecycleMessage);
    f.mouseInfo = Checked(kRegisterPage, kMouseInfo);
    f.tab = g_record->visible;
}

void Apply() {
    AppState& app = App();
    ReadPages();
    OptionsForm& f = g_record->form;
    IniStore store(app.iniPath);
    store.WriteInt(L"Awin", L"Start", f.start);
    store.WriteInt(L"Awin", L"Dual", f.dual ? 1 : 0);
    const AppliedPositions corrected = ApplyForm(f, app.settings, GetSystemMetrics(SM_CXMIN));
    if (corrected.rightCorrected) SetText(kStartPage, kFirstPosField + 2, f.position[2]);
    if (corrected.bottomCorrected) SetText(kStartPage, kFirstPosField + 3, f.position[3]);
    ApplyViewerStretchMode();
    if (g_record->keysChanged) {
        RebuildShortcutTexts(g_record->keys);
        g_record->keysChanged = false;
    }
    RebuildToolsMenu();
    ApplyRegistration();

    const CurrentImage& c = Current();
    const AfterApply after = ImageAfterApply(c.Loaded(), c.modified, PreviewShown(), !c.path.empty(),
                                             g_record->displayReference, app.settings.read);
    if (after.newReference) g_record->displayReference = app.settings.read;
    if (after.reload) {
        const bool ok = LoadImageFile(c.path);
        ImageUpdated(ok ? ImageUpdate::Edited : ImageUpdate::Kept);
    } else if (after.repaint) {
        ImageUpdated(ImageUpdate::Edited);
    }
}

// ---- page commands

void ToolFile(int i) {
    OptionsForm& f = g_record->form;
    KeepDirectory keep;
    // The folder of the row's tool, or the program files folder.
    std::wstring start = f.toolPath[size_t(i)];
    if (!IsFolder(start)) start = start.substr(0, std::min(start.find_last_of(L"\\/"), start.size()));
    if (!IsFolder(start)) {
        wchar_t programs[MAX_PATH] = L"";
        if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programs))) start = programs;
    }
    wchar_t file[MAX_PATH] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = g_record->dialog;
    ofn.lpstrFilter = L"すべて (*.*)\0*.*\0プログラムファイル (*.exe)\0*.exe\0";
    ofn.nFilterIndex = 2;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = start.c_str();
    ofn.lpstrTitle = L"ファイル設定";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn)) return;
    std::wstring name = file + ofn.nFileOffset;
    if (ofn.nFileExtension > ofn.nFileOffset) name.resize(size_t(ofn.nFileExtension - ofn.nFileOffset - 1));
    f.toolPath[size_t(i)] = file;
    f.toolName[size_t(i)] = name;
    ShowTool(i);
}

void ToolFolder(int i) {
    OptionsForm& f = g_record->form;
    std::wstring chosen;
    if (!ChooseFolder(g_record->dialog, L"フォルダ設定", f.toolPath[size_t(i)], chosen)) return;
    std::wstring name = chosen;
    while (!name.empty() && (name.back() == L'\\' || name.back() == L'/')) name.pop_back();
    const size_t slash = name.find_last_of(L"\\/");
    f.toolPath[size_t(i)] = chosen;
    f.toolName[size_t(i)] = slash == std::wstring::npos ? name : name.substr(slash + 1);
    ShowTool(i);
}

void PageCommand(int id) {
    OptionsForm& f = g_record->form;
    if (id == kPosCtrl) {
        EnablePositions();
    } else if (id == kColourButton) {
        COLORREF colour = RGB(f.bgR, f.bgG, f.bgB);
        if (ChooseColourDialog(g_record->dialog, colour)) {
            f.bgR = GetRValue(colour);
            f.bgG = GetGValue(colour);
            f.bgB = GetBValue(colour);
            InvalidateRect(Item(kStartPage, kSwatch), nullptr, TRUE);
        }
    } else if (id == kKeys) {
        if (OpenKeyDialog(g_record->dialog, g_record->keys)) g_record->keysChanged = true;
    } else if (id >= kToolFile && id < kToolFile + kToolCount) {
        ToolFile(id - kToolFile);
    } else if (id >= kToolFolder && id < kToolFolder + kToolCount) {
        ToolFolder(id - kToolFolder);
    } else if (id >= kToolRemove && id < kToolRemove + kToolCount) {
        f.toolPath[size_t(id - kToolRemove)].clear();
        ShowTool(id - kToolRemove);
    } else if (id == kPluginSet) {
        std::wstring chosen;
        if (ChooseFolder(g_record->dialog, L"プラグインフォルダ設定", f.pluginFolder, chosen)) {
            f.pluginFolder = chosen;
            SetText(kPluginsPage, kPluginFolder, chosen);
            ListPlugins();
        }
    } else if (id == kPluginClear) {
        f.pluginFolder.clear();
        SetText(kPluginsPage, kPluginFolder, L"");
        ListPlugins();
    } else if (id == kOldRemoval) {
        RemoveOldAssociations();
        ShowOldRemoval(false);
    } else if (id == kWallpaperDelete) {
        DeleteWallpaperFile(g_record->dialog);
        ShowWallpaperControls();
    }
}

// A double click on a plug-in: its own settings dialog.
void PluginSettings(const NMITEMACTIVATE* activate) {
    if (activate->iItem < 0 || size_t(activate->iItem) >= g_record->plugins.size()) return;
    ShowPluginSettings(g_record->form.pluginFolder, g_record->plugins[size_t(activate->iItem)], g_record->dialog);
}

INT_PTR CALLBACK PageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        EnableThemeDialogTexture(page, ETDT_ENABLETAB);
        return TRUE;
    case WM_COMMAND:
        if (g_record && (HIWORD(wp) == BN_CLICKED)) PageCommand(LOWORD(wp));
        return TRUE;
    case WM_HSCROLL:
        if (g_record && reinterpret_cast<HWND>(lp) == Item(kStartPage, kTimeSlider)) ShowTime();
        return TRUE;
    case WM_NOTIFY: {
        const auto* h = reinterpret_cast<const NMHDR*>(lp);
        if (g_record && h->idFrom == kPluginList && h->code == NM_DBLCLK)
            PluginSettings(reinterpret_cast<const NMITEMACTIVATE*>(lp));
        return TRUE;
    }
    }
    return FALSE;
}

void ShowPage(int index) {
    OptionsRecord& r = *g_record;
    for (int i = 0; i < kPageCount; ++i) ShowWindow(r.pages[size_t(i)], i == index ? SW_SHOW : SW_HIDE);
    r.visible = index;
}

bool CreatePages(HWND dialog) {
    OptionsRecord& r = *g_record;
    HWND tab = GetDlgItem(dialog, IDC_OPTIONS_TAB);
    for (int i = 0; i < kPageCount; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(kTabTexts[i]);
        TabCtrl_InsertItem(tab, i, &item);
    }
    RECT area;
    GetWindowRect(tab, &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    TabCtrl_AdjustRect(tab, FALSE, &area);
    for (int i = 0; i < kPageCount; ++i) {
        HWND page = CreateDialogParamW(App().instance, MAKEINTRESOURCEW(kPageTemplates[i]), dialog, PageProc, 0);
        if (!page) return false;
        r.pages[size_t(i)] = page;
        SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top, SWP_NOACTIVATE);
    }
    RepaintAfterScroll(Item(kPluginsPage, kPluginList));
    return true;
}

void CloseRecord(HWND dialog, INT_PTR result) {
    if (g_record && g_record->pages[kPluginsPage]) StopRepaintAfterScroll(Item(kPluginsPage, kPluginList));
    EndDialog(dialog, result);
}

INT_PTR CALLBACK OptionsProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        g_record->dialog = dialog;
        EnableThemeDialogTexture(dialog, ETDT_ENABLETAB);
        if (!CreatePages(dialog)) {
            CloseRecord(dialog, IDCANCEL);
            return TRUE;
        }
        FillPages();
        FillRegistration();
        const int tab = std::clamp(g_record->form.tab, 0, kPageCount - 1);
        TabCtrl_SetCurSel(GetDlgItem(dialog, IDC_OPTIONS_TAB), tab);
        ShowPage(tab);
        return TRUE;
    }
    case WM_NOTIFY: {
        const auto* h = reinterpret_cast<const NMHDR*>(lp);
        if (h->idFrom == IDC_OPTIONS_TAB && h->code == TCN_SELCHANGE)
            ShowPage(TabCtrl_GetCurSel(h->hwndFrom));
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
            Apply();
            CloseRecord(dialog, IDOK);
            return TRUE;
        case IDC_OPTIONS_APPLY:
            Apply();
            return TRUE;
        case IDCANCEL:
            CloseRecord(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

void OpenOptionsDialog(HWND owner) {
    AppState& app = App();
    std::unique_ptr<OptionsRecord> record(new (std::nothrow) OptionsRecord);
    if (!record) return;
    IniStore store(app.iniPath);
    record->form = FormFromSettings(app.settings, ReadStartWindow(store), ReadDual(store));
    record->displayReference = app.settings.read;
    record->keys = app.accelTable;
    WNDCLASSW swatch{};
    swatch.lpfnWndProc = SwatchProc;
    swatch.hInstance = app.instance;
    swatch.lpszClassName = kSwatchClass;
    swatch.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&swatch);
    g_record = record.get();
    DialogBoxParamW(app.instance, MAKEINTRESOURCEW(IDD_OPTIONS), owner, OptionsProc, 0);
    g_record = nullptr;
    UnregisterClassW(kSwatchClass, app.instance);
}

}  // namespace pelio
