// Commands as data: menu captions, short captions for tool tips, what each command needs to
// be enabled, and the menu structure. Portable.
#pragma once
#include <span>
#include <string>

#include "core/commands/accelerators.h"

namespace pelio {

// What a command needs to be enabled, as a bit set.
using CommandNeeds = unsigned;
inline constexpr CommandNeeds kNeedsImage = 1u << 0;
inline constexpr CommandNeeds kNeedsPath = 1u << 1;             // the image was loaded from a file
inline constexpr CommandNeeds kNeedsIdle = 1u << 2;             // no image operation runs in the Edit mode
inline constexpr CommandNeeds kNeedsCommentFormat = 1u << 3;    // a PNG or JPEG source
inline constexpr CommandNeeds kNeedsTextData = 1u << 4;         // the source carries text data
inline constexpr CommandNeeds kNeedsClipboardImage = 1u << 5;   // a bitmap on the clipboard
inline constexpr CommandNeeds kNeedsNoTitleBar = 1u << 6;
inline constexpr CommandNeeds kNotInEditMode = 1u << 7;
inline constexpr CommandNeeds kNotInFullScreen = 1u << 8;
inline constexpr CommandNeeds kViewerModeOnly = kNotInEditMode | kNotInFullScreen;

struct CommandInfo {
    int id;
    const wchar_t* caption;       // menu caption with its access key
    const wchar_t* shortCaption;  // tool tip of a toolbar button; null when none
    CommandNeeds needs = 0;
};

// The command of a mouse action code (the double-click and both-buttons settings):
// 1 the Edit window, 2 full screen, 3 minimise, anything else exit.
int MouseActionCommand(int action);

// The command's row; null for identifiers without a menu item.
const CommandInfo* FindCommand(int id);

// The state a command's enabling depends on. The shell fills it when a menu opens or a
// command arrives.
struct CommandContext {
    enum class Mode { Viewer, Edit, FullScreen };
    bool imageLoaded = false;
    bool hasPath = false;           // the image came from a file, not the clipboard
    bool operationRunning = false;  // an image operation is open in the Edit window
    bool commentFormat = false;     // the source format is PNG or JPEG
    bool hasTextData = false;
    bool hasComment = false;  // shown as the comment item's check mark
    bool clipboardImage = false;
    bool titleBar = false;
    Mode mode = Mode::Viewer;
};

// Whether `id` is enabled in `context`: a command with or without a menu item, a registered
// tool, or a submenu of the context menu. Identifiers that need nothing are always enabled.
bool CommandEnabled(int id, const CommandContext& context);

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
