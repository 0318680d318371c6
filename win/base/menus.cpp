// Owner-drawn menus. Win32.
#include "win/base/menus.h"

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/commands/command_ids.h"
#include "core/commands/command_table.h"
#include "core/commands/key_names.h"
#include "win/base/app_state.h"
#include "win/base/ini_store.h"
#include "win/base/frame_link.h"

namespace pelio {

namespace {

// The three strings an item shows; owned here, pointed at by each item's data.
struct ItemText {
    std::wstring caption, modifier, key;
    bool separator = false;
};

struct MenuState {
    HMENU context = nullptr;
    HMENU zoom = nullptr;
    std::vector<std::unique_ptr<ItemText>> texts;
    HFONT font = nullptr;
    HBRUSH selectedBrush = nullptr;
    HPEN selectedPen = nullptr, checkPen = nullptr;
};

MenuState& Menus() {
    static MenuState state;
    return state;
}

const Accel* AccelOf(int id) {
    for (const Accel& a : App().accelTable)
        if (a.command == id) return &a;
    return nullptr;
}

ItemText* NewText(const std::wstring& caption, int id) {
    auto text = std::make_unique<ItemText>();
    text->caption = caption;
    if (const Accel* a = AccelOf(id)) {
        text->key = KeyName(a->key);
        if (!text->key.empty()) text->modifier = ModifierText(a->flags);
    }
    ItemText* raw = text.get();
    Menus().texts.push_back(std::move(text));
    return raw;
}

void InsertItem(HMENU menu, int position, UINT id, ItemText* text, HMENU submenu = nullptr, bool disabled = false) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_STATE | (submenu ? MIIM_SUBMENU : 0);
    info.fType = MFT_OWNERDRAW | (text->separator ? MFT_SEPARATOR : 0);
    info.fState = disabled ? MFS_DISABLED : MFS_ENABLED;
    info.wID = id;
    info.hSubMenu = submenu;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(text);
    InsertMenuItemW(menu, static_cast<UINT>(position), TRUE, &info);
}

void AppendItem(HMENU menu, UINT id, ItemText* text, HMENU submenu = nullptr, bool disabled = false) {
    InsertItem(menu, GetMenuItemCount(menu), id, text, submenu, disabled);
}

// The registered tools from `position` on, or the greyed "<未登録>" when there are none.
void InsertTools(HMENU menu, int position) {
    const PathSettings& path = App().settings.path;
    bool any = false;
    for (int i = 0; i < kToolCount; ++i) {
        if (path.app[i].empty()) continue;
        InsertItem(menu, position++, cmd::kTool1 + i, NewText(ToolCaption(path.appName[i], i), cmd::kTool1 + i));
        any = true;
    }
    if (!any) InsertItem(menu, position, kNoToolsId, NewText(kNoToolsCaption, kNoToolsId), nullptr, true);
}

bool IsToolItem(int id) { return (id >= cmd::kTool1 && id <= cmd::kTool8) || id == kNoToolsId; }

// Drops an item's texts from the owned list.
void ForgetText(ULONG_PTR data) {
    auto& texts = Menus().texts;
    for (auto it = texts.begin(); it != texts.end(); ++it) {
        if (reinterpret_cast<ULONG_PTR>(it->get()) == data) {
            texts.erase(it);
            return;
        }
    }
}

HMENU Build(std::span<const MenuNode> nodes) {
    HMENU menu = CreatePopupMenu();
    for (const MenuNode& n : nodes) {
        switch (n.kind) {
        case MenuNode::Kind::Separator: {
            ItemText* text = NewText(L"", 0);
            text->separator = true;
            AppendItem(menu, kSeparatorId, text);
            break;
        }
        case MenuNode::Kind::Submenu:
            AppendItem(menu, n.id, NewText(n.caption, 0), Build(n.children));
            break;
        case MenuNode::Kind::Tools:
            InsertTools(menu, GetMenuItemCount(menu));
            break;
        case MenuNode::Kind::Command:
            AppendItem(menu, n.id, NewText(FindCommand(n.id)->caption, n.id));
            break;
        }
    }
    return menu;
}

void DestroyMenus() {
    MenuState& m = Menus();
    if (m.context) DestroyMenu(m.context);
    if (m.zoom) DestroyMenu(m.zoom);
    m.context = m.zoom = nullptr;
    m.texts.clear();
}

void BuildAllMenus() {
    MenuState& m = Menus();
    m.context = Build(ContextMenu());
    m.zoom = Build(ZoomMenu());
}

// The live handle from the slots that have a key; null when none has.
void CreateLiveAccelerators() {
    AppState& app = App();
    ACCEL accel[kAccelCount];
    int count = 0;
    for (const Accel& a : app.accelTable)
        if (a.key) accel[count++] = ACCEL{a.flags, a.key, a.command};
    if (app.accel) DestroyAcceleratorTable(app.accel);
    app.accel = count ? CreateAcceleratorTableW(accel, count) : nullptr;
}

ItemText* ItemTextOf(int id) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    if (!Menus().context || !GetMenuItemInfoW(Menus().context, id, FALSE, &info)) return nullptr;
    return reinterpret_cast<ItemText*>(info.dwItemData);
}

// An item's command, or its submenu's identifier.
int MenuItemId(HMENU menu, int position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID;
    return GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info) ? static_cast<int>(info.wID) : 0;
}

}  // namespace

void ReloadMenuMetrics() {
    MenuState& m = Menus();
    if (m.font) DeleteObject(m.font);
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    m.font = CreateFontIndirectW(&ncm.lfMenuFont);
}

void BuildMenus() {
    AppState& app = App();
    IniStore store(app.iniPath);
    app.accelTable = ReadStoredAccelerators(store);
    CreateLiveAccelerators();
    MenuState& m = Menus();
    m.selectedBrush = CreateSolidBrush(RGB(232, 255, 255));
    m.selectedPen = CreatePen(PS_SOLID, 1, RGB(72, 144, 144));
    m.checkPen = CreatePen(PS_SOLID, 1, RGB(192, 96, 192));
    ReloadMenuMetrics();
    BuildAllMenus();
}

void RebuildShortcutTexts(const AccelTable& table) {
    App().accelTable = table;
    CreateLiveAccelerators();
    // The window switch and the full-screen toggle keep the captions of the current mode.
    constexpr int kModeCaptions[] = {cmd::kEditWindow, cmd::kFullScreen};
    std::wstring captions[std::size(kModeCaptions)];
    for (size_t i = 0; i < std::size(kModeCaptions); ++i) captions[i] = MenuItemLabelOf(kModeCaptions[i]).caption;
    DestroyMenus();
    BuildAllMenus();
    for (size_t i = 0; i < std::size(kModeCaptions); ++i)
        if (!captions[i].empty()) SetCommandCaption(kModeCaptions[i], captions[i].c_str());
}

void SaveAccelerators() {
    AppState& app = App();
    // The live handle holds only the slots with a key; the table it was made from has all.
    IniStore store(app.iniPath);
    WriteStoredAccelerators(store, app.accelTable);
    if (app.accel) DestroyAcceleratorTable(app.accel);
    app.accel = nullptr;
    MenuState& m = Menus();
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(m.selectedBrush), static_cast<HGDIOBJ>(m.selectedPen),
                      static_cast<HGDIOBJ>(m.checkPen), static_cast<HGDIOBJ>(m.font)})
        if (o) DeleteObject(o);
    m.selectedBrush = nullptr;
    m.selectedPen = m.checkPen = nullptr;
    m.font = nullptr;
    DestroyMenus();
}

void RebuildToolsMenu() {
    HMENU tools = SubmenuHandle(cmd::kToolsSubmenu);
    if (!tools) return;
    int position = -1;
    for (int i = GetMenuItemCount(tools) - 1; i >= 0; --i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_DATA;
        if (!GetMenuItemInfoW(tools, static_cast<UINT>(i), TRUE, &info) || !IsToolItem(static_cast<int>(info.wID)))
            continue;
        DeleteMenu(tools, static_cast<UINT>(i), MF_BYPOSITION);
        ForgetText(info.dwItemData);
        position = i;
    }
    InsertTools(tools, position < 0 ? 0 : position);
}

HMENU ContextMenuHandle() { return Menus().context; }
HMENU ZoomMenuHandle() { return Menus().zoom; }

void SetCommandCaption(int id, const wchar_t* caption) {
    ItemText* text = ItemTextOf(id);
    if (!text) return;
    text->caption = caption;
    // Setting the type again makes the menu measure the item anew.
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    info.fType = MFT_OWNERDRAW;
    SetMenuItemInfoW(Menus().context, id, FALSE, &info);
}

MenuItemLabel MenuItemLabelOf(int id) {
    const ItemText* text = ItemTextOf(id);
    if (!text) return {};
    return {text->caption, text->modifier + text->key};
}

HMENU SubmenuHandle(int id) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_SUBMENU;
    return Menus().context && GetMenuItemInfoW(Menus().context, id, FALSE, &info) ? info.hSubMenu : nullptr;
}

void ShowContextMenu(POINT screen) {
    AppState& app = App();
    if (!Menus().context) return;
    TrackPopupMenuEx(Menus().context, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_NOANIMATION, screen.x, screen.y,
                     app.dialogOwner ? app.dialogOwner : app.viewer, nullptr);
}

bool OnMeasureMenuItem(MEASUREITEMSTRUCT& mi);
bool OnDrawMenuItem(const DRAWITEMSTRUCT& di);
void OnInitMenuPopup(HMENU popup);

bool HandleMenuMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_MEASUREITEM:
        result = TRUE;
        return OnMeasureMenuItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
    case WM_DRAWITEM:
        result = TRUE;
        return OnDrawMenuItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
    case WM_INITMENUPOPUP:
        result = 0;
        OnInitMenuPopup(reinterpret_cast<HMENU>(wp));
        return true;
    default:
        return false;
    }
}

bool OnMeasureMenuItem(MEASUREITEMSTRUCT& mi) {
    if (mi.CtlType != ODT_MENU || !mi.itemData) return false;
    const auto* text = reinterpret_cast<const ItemText*>(mi.itemData);
    if (text->separator) {
        mi.itemWidth = 20;
        mi.itemHeight = 7;
        return true;
    }
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Menus().font);
    std::wstring all = text->caption + text->modifier + text->key;
    SIZE size{};
    GetTextExtentPoint32W(dc, all.c_str(), static_cast<int>(all.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    mi.itemWidth = size.cx + 20;
    mi.itemHeight = size.cy + 6;
    return true;
}

bool OnDrawMenuItem(const DRAWITEMSTRUCT& di) {
    if (di.CtlType != ODT_MENU || !di.itemData) return false;
    const auto* text = reinterpret_cast<const ItemText*>(di.itemData);
    const MenuState& m = Menus();
    HDC dc = di.hDC;
    RECT r = di.rcItem;
    const bool disabled = di.itemState & (ODS_DISABLED | ODS_GRAYED);
    const bool selected = (di.itemState & ODS_SELECTED) && !disabled;
    if (text->separator) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_MENU));
        RECT line{r.left + 2, (r.top + r.bottom) / 2, r.right - 2, (r.top + r.bottom) / 2 + 2};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return true;
    }
    if (selected) {
        HGDIOBJ oldPen = SelectObject(dc, m.selectedPen);
        HGDIOBJ oldBrush = SelectObject(dc, m.selectedBrush);
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
    } else {
        FillRect(dc, &r, GetSysColorBrush(COLOR_MENU));
    }
    if (di.itemState & ODS_CHECKED) {
        HGDIOBJ oldPen = SelectObject(dc, m.checkPen);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
        const int x = r.left, y = r.top;
        Rectangle(dc, x + 4, y + 4, x + 14, y + 14);
        MoveToEx(dc, x + 5, y + 5, nullptr);
        LineTo(dc, x + 13, y + 13);
        MoveToEx(dc, x + 5, y + 12, nullptr);
        LineTo(dc, x + 13, y + 4);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
    HGDIOBJ oldFont = SelectObject(dc, m.font);
    RECT captionRect{r.left + 20, r.top, r.right, r.bottom};
    DrawTextW(dc, text->caption.c_str(), -1, &captionRect, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    if (!text->key.empty()) {
        std::wstring shortcut = text->modifier + text->key;
        RECT keyRect{r.left, r.top, r.right - 12, r.bottom};
        DrawTextW(dc, shortcut.c_str(), -1, &keyRect, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    SelectObject(dc, oldFont);
    return true;
}

void OnInitMenuPopup(HMENU popup) {
    const AppState& app = App();
    // Menus stay as they are while an operation runs; the dispatcher refuses what it must.
    CommandContext context = Link().commandContext();
    context.operationRunning = false;
    const ViewerSettings& v = app.settings.viewer;
    const int colour = app.displayMode == kModeEdit ? app.settings.edit.bgColor : v.bgColor;
    const int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        const int id = MenuItemId(popup, i);
        if (id == kSeparatorId || id == kNoToolsId || id <= 0) continue;
        bool checked = false;
        switch (id) {
        case cmd::kComment: checked = context.hasComment && CommandEnabled(id, context); break;
        case cmd::kTopmost: checked = app.settings.app.top; break;
        case cmd::kTitleBar: checked = v.capBar; break;
        case cmd::kFrame: checked = v.frame; break;
        case cmd::kToolbarStrip: checked = v.vtBar; break;
        default: checked = id >= cmd::kBackgroundWhite && id <= cmd::kBackgroundBlack && id - cmd::kBackgroundWhite == colour;
        }
        const UINT enabled = CommandEnabled(id, context) ? MF_ENABLED : MF_GRAYED;
        EnableMenuItem(popup, static_cast<UINT>(i), MF_BYPOSITION | enabled);
        CheckMenuItem(popup, static_cast<UINT>(i), MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

}  // namespace pelio
