// Folder browsing and the file list. Win32.
#include "win/viewer/file_list.h"

#include <shlwapi.h>

#include <string>
#include <vector>

#include "core/commands/command_ids.h"
#include "core/commands/messages.h"
#include "win/base/app_state.h"
#include "win/base/class_names.h"
#include "win/base/frame_link.h"
#include "win/base/message_box.h"
#include "win/image/current_image.h"
#include "win/image/load_dispatch.h"
#include "win/image/read_ahead.h"
#include "win/image/save_prompt.h"
#include "win/viewer/viewer_window.h"

namespace pelio {

namespace {

constexpr int kListBoxId = 1010;
constexpr wchar_t kListTitle[] = L"ファイルリスト";

struct FileListState {
    HWND viewerList = nullptr;  // the list windows
    HWND editList = nullptr;
    HWND listBox = nullptr;
    std::wstring watchedFolder;
    HANDLE change = nullptr;
    int direction = 1;  // of the last step through the list: its neighbour that way first
};

FileListState& Lists() {
    static FileListState state;
    return state;
}

std::wstring FolderOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

HWND CreateListWindow(HWND owner) {
    HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, kFileListClass, kListTitle,
                             WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
                             0, 0, 180, 300, owner, nullptr, App().instance, nullptr);
    if (HMENU sys = GetSystemMenu(w, FALSE)) {
        // Keep Move, Size and Close: drop Restore, Minimise, Maximise and the separator.
        for (int position : {5, 4, 3, 0}) DeleteMenu(sys, position, MF_BYPOSITION);
    }
    return w;
}

void ArmWatch(const std::wstring& folder) {
    FileListState& s = Lists();
    if (s.change) FindCloseChangeNotification(s.change);
    s.change = FindFirstChangeNotificationW(folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    if (s.change == INVALID_HANDLE_VALUE) s.change = nullptr;
}

void SelectCurrent() {
    const FileListState& s = Lists();
    if (!s.listBox) return;
    SendMessageW(s.listBox, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(Current().name.c_str()));
}

void AddMatches(const std::wstring& pattern, size_t extensionLength) {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((Lists().watchedFolder + L"\\" + pattern).c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (ListedForPattern(fd.cFileName, extensionLength))
            SendMessageW(Lists().listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fd.cFileName));
    } while (FindNextFileW(find, &fd));
    FindClose(find);
}

std::wstring EntryName(int index) {
    const HWND box = Lists().listBox;
    LRESULT length = SendMessageW(box, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return {};
    std::wstring name(static_cast<size_t>(length), L'\0');
    SendMessageW(box, LB_GETTEXT, index, reinterpret_cast<LPARAM>(name.data()));
    return name;
}

// Loads the named entry of the watched folder; on failure the entry leaves the list.
bool LoadEntry(int index) {
    const std::wstring name = EntryName(index);
    if (LoadImageFile(Lists().watchedFolder + L"\\" + name)) return true;
    SendMessageW(Lists().listBox, LB_DELETESTRING, index, 0);
    return false;
}

// The neighbours of the current entry are decoded ahead, the one in the last direction first.
void ReadNeighboursAhead() {
    const FileListState& s = Lists();
    const int count = static_cast<int>(SendMessageW(s.listBox, LB_GETCOUNT, 0, 0));
    const int selected = static_cast<int>(SendMessageW(s.listBox, LB_GETCURSEL, 0, 0));
    std::vector<std::wstring> paths;
    if (selected >= 0)
        for (int index : {selected + s.direction, selected - s.direction})
            if (index >= 0 && index < count) paths.push_back(s.watchedFolder + L"\\" + EntryName(index));
    ReadAhead(paths, LoadOptions::From(App().settings.read));
}

void OnSelectionChange() {
    const int index = static_cast<int>(SendMessageW(Lists().listBox, LB_GETCURSEL, 0, 0));
    if (index < 0 || EntryName(index) == Current().name) return;
    if (!ReadyToReplaceImage()) {
        SyncFileList();
        return;
    }
    if (LoadEntry(index)) {
        ImageLoaded(true);
    } else {
        ShowGeneralError(kErrShowImage);
        UpdateCaption();
    }
}

}  // namespace

LRESULT CALLBACK FileListWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        if (Lists().listBox && GetParent(Lists().listBox) == hwnd)
            MoveWindow(Lists().listBox, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wp) == kListBoxId && HIWORD(wp) == LBN_SELCHANGE) OnSelectionChange();
        return 0;
    case WM_CLOSE:
        ShowWindow(hwnd, SW_HIDE);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void CreateFileListWindows() {
    AppState& app = App();
    FileListState& s = Lists();
    if (s.viewerList) return;
    s.viewerList = CreateListWindow(app.viewer);
    s.editList = CreateListWindow(app.edit);
    RECT client;
    GetClientRect(s.viewerList, &client);
    s.listBox = CreateWindowExW(WS_EX_STATICEDGE, L"LISTBOX", nullptr,
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT,
                                0, 0, client.right, client.bottom, s.viewerList,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListBoxId)), app.instance, nullptr);
    SendMessageW(s.listBox, WM_SETFONT, reinterpret_cast<WPARAM>(app.uiFont), FALSE);
    app.fileList = s.viewerList;
    if (Current().Loaded()) SyncFileList();
}

void MoveFileListTo(bool editWindow) {
    AppState& app = App();
    FileListState& s = Lists();
    if (!s.listBox) return;
    HWND from = editWindow ? s.viewerList : s.editList;
    HWND to = editWindow ? s.editList : s.viewerList;
    if (GetParent(s.listBox) == to) return;
    RECT r;
    GetWindowRect(from, &r);
    SetWindowPos(to, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SetParent(s.listBox, to);
    RECT client;
    GetClientRect(to, &client);
    MoveWindow(s.listBox, 0, 0, client.right, client.bottom, TRUE);
    const bool wasVisible = IsWindowVisible(from);
    ShowWindow(from, SW_HIDE);
    if (wasVisible) ShowWindow(to, SW_SHOWNA);
    app.fileList = to;
}

void RefillFileList() {
    FileListState& s = Lists();
    if (!s.listBox) return;
    SendMessageW(s.listBox, WM_SETREDRAW, FALSE, 0);
    SendMessageW(s.listBox, LB_RESETCONTENT, 0, 0);
    for (const wchar_t* extension : kBrowseExtensions)
        AddMatches(std::wstring(L"*") + extension, wcslen(extension));
    SendMessageW(s.listBox, WM_SETREDRAW, TRUE, 0);
    SelectCurrent();
}

void SyncFileList() {
    AppState& app = App();
    FileListState& s = Lists();
    const std::wstring folder = FolderOf(Current().path);
    if (!folder.empty() && !PathIsSystemFolderW(folder.c_str(), 0)) app.settings.path.open = folder;
    if (!s.listBox || folder.empty()) {
        ReadAhead({}, LoadOptions::From(app.settings.read));
        return;
    }
    if (folder != s.watchedFolder) {
        s.watchedFolder = folder;
        ArmWatch(folder);
        RefillFileList();
    } else if (s.change && WaitForSingleObject(s.change, 0) == WAIT_OBJECT_0) {
        ArmWatch(folder);
        RefillFileList();
    } else {
        SelectCurrent();
    }
    ReadNeighboursAhead();
}

NavigateResult Navigate(NavigateKind kind) {
    FileListState& s = Lists();
    if (!s.listBox) return kNavigateNone;
    const int count = static_cast<int>(SendMessageW(s.listBox, LB_GETCOUNT, 0, 0));
    const int selected = static_cast<int>(SendMessageW(s.listBox, LB_GETCURSEL, 0, 0));
    const int target = NavigationTarget(kind, count, selected);
    if (target < 0) return kNavigateNone;
    s.direction = target < selected ? -1 : 1;
    if (!ReadyToReplaceImage()) {
        SyncFileList();
        return kNavigateNone;
    }
    return LoadEntry(target) ? kNavigateLoaded : kNavigateFailed;
}

bool FolderWatched() { return !Lists().watchedFolder.empty(); }

int FileListCount() {
    return Lists().listBox ? static_cast<int>(SendMessageW(Lists().listBox, LB_GETCOUNT, 0, 0)) : 0;
}

int FileListSelection() {
    return Lists().listBox ? static_cast<int>(SendMessageW(Lists().listBox, LB_GETCURSEL, 0, 0)) : -1;
}

int RemoveSelectedFileListEntry() {
    const int selected = FileListSelection();
    if (selected >= 0) SendMessageW(Lists().listBox, LB_DELETESTRING, selected, 0);
    return selected;
}

void ClearFileListSelection() {
    if (Lists().listBox) SendMessageW(Lists().listBox, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

bool LoadFileListEntry(int index) {
    if (index < 0 || index >= FileListCount()) return false;
    return LoadEntry(index);
}

void ShowFileListWindow() {
    AppState& app = App();
    HWND list = app.fileList;
    if (!list) return;
    RECT main, listRect, work;
    GetWindowRect(list, &listRect);
    const int w = listRect.right - listRect.left;
    work = ViewerUsableArea(app.viewer);
    int x = 0, y = 0;
    if (app.displayMode == kModeEdit) {
        GetWindowRect(app.edit, &main);
        x = main.left - w;
        y = main.top;
    } else {
        GetWindowRect(app.viewer, &main);
        POINT clientTop{0, 0};
        ClientToScreen(app.viewer, &clientTop);
        x = main.left - w;
        y = (app.displayMode == kModeFullScreen ? main.top : clientTop.y) + 24;
    }
    if (x < work.left) x = work.left;
    SetWindowPos(list, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    if (!IsWindowVisible(list)) ShowWindow(list, SW_SHOWNA);
}

void CheckCurrentFileChanged() {
    CurrentImage& c = Current();
    if (!c.Loaded() || c.path.empty()) return;
    HANDLE f = CreateFileW(c.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    FILETIME written{};
    const bool ok = GetFileTime(f, nullptr, nullptr, &written);
    CloseHandle(f);
    if (!ok) return;
    const uint64_t time = uint64_t{written.dwLowDateTime} | uint64_t{written.dwHighDateTime} << 32;
    if (time == c.fileTime) return;
    c.fileTime = time;
    const std::wstring question = c.name + L" は変更されています。開き直しますか?";
    if (AskQuestion(question.c_str(), MB_YESNO | MB_SETFOREGROUND) == IDYES) RunCommand(cmd::kReload);
}

void CloseFolderWatch() {
    FileListState& s = Lists();
    if (s.change) FindCloseChangeNotification(s.change);
    s.change = nullptr;
}

}  // namespace pelio
