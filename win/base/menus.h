// The owner-drawn menus: built from the command table, drawn, and enabled per menu loop. Win32.
#pragma once
#include <windows.h>

#include <string>

#include "core/commands/accelerators.h"

namespace pelio {

// Start-up: the accelerator table (defaults merged with the stored one), pens, brushes, the
// menu font and every menu.
void BuildMenus();
// Makes `table` the live key table: the accelerator handle is made anew from its slots with a
// key, and the menus are built again with its shortcut texts (the tools menu with them). The
// toolbar tips read the live table whenever they show.
void RebuildShortcutTexts(const AccelTable& table);
// After the registered tools changed: the tools submenu (the Viewer's menu and the Edit
// window's "ツール" drop-down) lists them again.
void RebuildToolsMenu();
// Exit: the live table is stored, then menus, pens, brushes and font are released.
void SaveAccelerators();
// System settings changed: menu colours and font are read again.
void ReloadMenuMetrics();

HMENU ContextMenuHandle();
HMENU ZoomMenuHandle();
// A submenu of the context menu by its identifier (cmd::kTransformSubmenu …); null when
// there is none.
HMENU SubmenuHandle(int id);
// Changes the caption an item shows (the window switch and the full-screen toggle).
void SetCommandCaption(int id, const wchar_t* caption);
// What the context menu shows for `id`: its caption and its shortcut text; both empty when
// there is no such item.
struct MenuItemLabel {
    std::wstring caption, shortcut;
};
MenuItemLabel MenuItemLabelOf(int id);
// Opens the context menu at a screen point, owned by the dialog owner window.
void ShowContextMenu(POINT screen);

// The owner-drawn menu messages of a window that owns the menus: true (with the result) when
// handled.
bool HandleMenuMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

}  // namespace pelio
