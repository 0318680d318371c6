// Window class table. Win32.
#include "win/frame/window_classes.h"

#include "resources/resource_ids.h"
#include "win/editor/colour_box.h"
#include "win/editor/edit_panes.h"
#include "win/editor/edit_window.h"
#include "win/editor/save_panel.h"
#include "win/print/print_preview.h"
#include "win/viewer/file_list.h"
#include "win/viewer/navigation_window.h"
#include "win/viewer/toolbar_strip.h"
#include "win/viewer/viewer_window.h"

namespace pelio {

namespace {

enum class Icon { None, App };
enum class Cursor { None, Arrow, Hand };

struct ClassRow {
    const wchar_t* name;
    UINT style;
    Icon icon;
    Cursor cursor;
    int background;  // system colour index + 1, or 0 for none
    WNDPROC proc;
};

constexpr UINT kRedraw = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;

// Windows whose behaviour has not been built yet keep the default procedure.
const ClassRow kClasses[] = {
    {kViewerClass, kRedraw | CS_OWNDC, Icon::App, Cursor::Arrow, 0, ViewerWndProc},
    {kViewerBarClass, kRedraw, Icon::None, Cursor::Arrow, COLOR_BTNFACE + 1, ToolbarStripProc},
    {kEditClass, kRedraw, Icon::App, Cursor::Arrow, COLOR_BTNFACE + 1, EditWndProc},
    {kImagePaneClass, kRedraw | CS_OWNDC, Icon::None, Cursor::Arrow, 0, ImagePaneProc},
    {kPreviewPaneClass, kRedraw | CS_OWNDC, Icon::None, Cursor::Arrow, 0, PreviewPaneProc},
    {kFileListClass, kRedraw, Icon::None, Cursor::Arrow, 0, FileListWndProc},
    {kNavigatorClass, kRedraw | CS_OWNDC, Icon::None, Cursor::None, 0, NavigationWndProc},
    {kColourBoxClass, kRedraw, Icon::None, Cursor::Hand, 0, ColourBoxProc},
    {kPrintPreviewClass, 0, Icon::None, Cursor::None, 0, PrintPreviewProc},
};

}  // namespace

bool RegisterWindowClasses(HINSTANCE instance) {
    HICON appIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    for (const ClassRow& row : kClasses) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = row.style;
        wc.lpfnWndProc = row.proc;
        wc.hInstance = instance;
        wc.hIcon = row.icon == Icon::App ? appIcon : nullptr;
        wc.hCursor = row.cursor == Cursor::Arrow  ? LoadCursorW(nullptr, IDC_ARROW)
                     : row.cursor == Cursor::Hand ? LoadCursorW(nullptr, IDC_HAND)
                                                  : nullptr;
        wc.hbrBackground = row.background ? reinterpret_cast<HBRUSH>(INT_PTR{row.background}) : nullptr;
        wc.lpszClassName = row.name;
        if (!RegisterClassExW(&wc)) return false;
    }
    return true;
}

}  // namespace pelio
