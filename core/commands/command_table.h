// Commands as data: menu captions, short captions for tool tips, and the menu structure. Portable.
#pragma once
#include <span>
#include <string>

#include "core/commands/accelerators.h"

namespace pelio {

struct CommandInfo {
    int id;
    const wchar_t* caption;       // menu caption with its access key
    const wchar_t* shortCaption;  // tool tip of a toolbar button; null when none
};

// The command's row; null for identifiers without a menu item.
const CommandInfo* FindCommand(int id);

// Caption of the Edit-window switch and the full-screen toggle in their other state.
inline constexpr wchar_t kMainWindowCaption[] = L"メインウィンドウ(&W)";
inline constexpr wchar_t kNormalViewCaption[] = L"通常表示(&M)";
inline constexpr wchar_t kNoToolsCaption[] = L"<未登録>";
inline constexpr int kNoToolsId = 5430;
inline constexpr int kSeparatorId = 9900;

// A registered tool's menu caption: its name cut to 27 characters, then "(&1)" … "(&8)".
std::wstring ToolCaption(const std::wstring& name, int index);

// A toolbar button's tip: the short caption, then " (" modifier key ")" when the command has
// a key in `table`.
std::wstring ToolTipText(int id, const AccelTable& table);
// `tip`, then " (" modifier key ")" when the command has a key in `table`.
std::wstring TipWithShortcut(std::wstring tip, int id, const AccelTable& table);

// The menu structure. A separator has id kSeparatorId; a submenu has children; the tools
// entry stands for the registered tools (or "<未登録>") followed by a separator and Options.
struct MenuNode {
    enum class Kind { Command, Separator, Submenu, Tools } kind;
    int id;
    const wchar_t* caption;  // submenus only
    std::span<const MenuNode> children;
};

std::span<const MenuNode> ContextMenu();
std::span<const MenuNode> ZoomMenu();

}  // namespace pelio
