// Program entry: start-up, single instance, message loop and shutdown. Win32.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "core/commands/command_ids.h"
#include "core/commands/command_line.h"
#include "core/commands/messages.h"
#include "core/image/png_chunk.h"
#include "core/settings/settings.h"
#include "win/base/app_state.h"
#include "win/base/control_keys.h"
#include "win/base/cursors.h"
#include "win/base/html_help.h"
#include "win/base/ini_store.h"
#include "win/base/menus.h"
#include "win/base/message_box.h"
#include "win/base/mouse_info_dialog.h"
#include "win/base/paths.h"
#include "win/editor/edit_window.h"
#include "win/frame/commands.h"
#include "win/frame/frame_link_setup.h"
#include "win/frame/handover.h"
#include "win/frame/open_file.h"
#include "win/frame/window_classes.h"
#include "win/viewer/full_screen.h"
#include "win/viewer/viewer_window.h"

namespace pelio {

namespace {

int ReadOsGeneration() {
    OSVERSIONINFOW vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
    if (!GetVersionExW(&vi)) return 0;
    return OsGeneration(vi.dwMajorVersion, vi.dwMinorVersion);
}

HFONT CreateUiFont() {
    LOGFONTW lf{};
    lf.lfHeight = -12;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpynW(lf.lfFaceName, L"MS UI Gothic", LF_FACESIZE);
    return CreateFontIndirectW(&lf);
}

std::vector<std::wstring> CommandLineArguments() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> args;
    for (int i = 0; argv && i < argc; ++i) args.emplace_back(argv[i]);
    if (argv) LocalFree(argv);
    return args;
}

void LoadSettings() {
    AppState& app = App();
    IniStore store(app.iniPath);
    SettingsEnvironment env{[](const std::wstring& p) { return IsDirectory(p); }, DocumentsFolder()};
    LoadAppSettings(store, env, app.settings);
    LoadViewerSettings(store, app.settings);
    LoadEditSettings(store, app.settings);
    LoadImageSettings(store, app.settings);
}

bool OpenIfGiven(const std::wstring& file) { return !file.empty() && OpenFileFromShell(file); }

// Acts on the command line; every path creates the Edit window.
void ActOnCommandLine(const StartRequest& req, int showCmd) {
    AppState& app = App();
    switch (req.action) {
    case StartAction::Viewer:
        ShowWindow(app.viewer, showCmd);
        UpdateWindow(app.viewer);
        OpenIfGiven(req.file);
        CreateEditWindow();
        RefitView();
        return;
    case StartAction::Edit:
        CreateEditWindow();
        ActivateEditWindow();
        OpenIfGiven(req.file);
        return;
    case StartAction::FullScreen:
        EnterFullScreen();
        OpenIfGiven(req.file);
        CreateEditWindow();
        RefitView();
        return;
    case StartAction::Slideshow:
        CreateEditWindow();
        EnterFullScreen();
        if (OpenIfGiven(req.file)) StartSlideshow();
        RefitView();
        return;
    case StartAction::Options:
        CreateEditWindow();
        RouteCommand(cmd::kOptions);
        SendMessageW(app.viewer, WM_CLOSE, 0, 0);
        return;
    default:
        break;
    }

    IniStore store(app.iniPath);
    const int start = ReadStartWindow(store);
    if (start == 1) {
        CreateEditWindow();
        ShowWindow(app.edit, showCmd == SW_SHOWNORMAL ? SW_SHOW : showCmd);
        ActivateEditWindow();
        OpenIfGiven(req.file);
        return;
    }
    if (start == 2 || (start == 0 && showCmd == SW_SHOWMAXIMIZED)) {
        EnterFullScreen();
    } else if (start == 0) {
        int show = showCmd;
        if (show == SW_SHOWMINNOACTIVE && !req.file.empty()) show = SW_SHOWNORMAL;
        ShowWindow(app.viewer, show);
    }
    UpdateWindow(app.viewer);
    OpenIfGiven(req.file);
    CreateEditWindow();
    RefitView();
}

// The PNG codec's zlib work memory comes from the program's private heap.
void UsePrivateHeapForPng(HANDLE heap) {
    PngHeap h;
    h.alloc = [](void* opaque, unsigned items, unsigned size) -> void* {
        if (size != 0 && items > SIZE_MAX / size) return nullptr;
        return HeapAlloc(static_cast<HANDLE>(opaque), 0, size_t{items} * size);
    };
    h.free = [](void* opaque, void* address) { HeapFree(static_cast<HANDLE>(opaque), 0, address); };
    h.opaque = heap;
    SetPngHeap(h);
}

int RunMessageLoop() {
    AppState& app = App();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!app.acceleratorsSuspended && app.accel && !ControlOwnsKey(msg) &&
            TranslateAcceleratorW(app.viewer, app.accel, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

// Start-up after the pre-checks, the message loop and the close; returns the exit code.
int RunApplication(int showCmd) {
    AppState& app = App();
    app.osGeneration = ReadOsGeneration();
    app.uiFont = CreateUiFont();
    InitHtmlHelp(app.helpCookie);

    if (app.osGeneration == 0 || lstrcmpiW(ExecutableName().c_str(), L"Pelio.exe") != 0) {
        ShowErrorText(GeneralErrorText(kErrFileRun), nullptr);
        return 0;
    }
    app.iniPath = ResolveIniPath(ExecutableFolder());

    std::vector<std::wstring> argv = CommandLineArguments();
    StartRequest request = ParseStartCommandLine(argv);
    {
        IniStore store(app.iniPath);
        if (ReadDual(store) != 0 && HandOverToRunningInstance(argv)) return 0;
    }

    ConnectFrame();
    LoadSettings();
    LoadCursors();
    BuildMenus();
    app.lightBrush = CreateSolidBrush(RGB(236, 236, 240));

    if (!RegisterWindowClasses(app.instance)) return 0;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                              ICC_UPDOWN_CLASS | ICC_COOL_CLASSES};
    InitCommonControlsEx(&icc);

    app.viewer = CreateViewerWindow();
    if (!app.viewer) return 0;
    app.displayMode = kModeViewer;
    app.dialogOwner = app.viewer;

    // COM first: opening a file named on the command line may resolve a shell link.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ActOnCommandLine(request, showCmd);

    if (IsWindow(app.viewer) && app.settings.app.mouseInfo) ShowMouseInfoDialog(app.dialogOwner);

    int code = IsWindow(app.viewer) ? RunMessageLoop() : 0;
    CoUninitialize();
    return code;
}

}  // namespace

}  // namespace pelio

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCmd) {
    using namespace pelio;
    AppState& app = App();
    app.heap = HeapCreate(0, 0x10000, 0);
    if (!app.heap) return 0;
    app.instance = instance;
    UsePrivateHeapForPng(app.heap);

    int code = RunApplication(showCmd);

    UninitHtmlHelp(app.helpCookie);
    if (app.uiFont) DeleteObject(app.uiFont);
    HeapDestroy(app.heap);
    return code;
}
