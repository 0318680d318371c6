// The folder's file list: its two tool windows, one list box, change watching, navigation. Win32.
#pragma once
#include <windows.h>

#include "core/view/folder_list.h"

namespace pelio {

LRESULT CALLBACK FileListWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Creates the two hidden list windows (owned by the Viewer and the Edit window) and the list
// box, which starts in the Viewer's.
void CreateFileListWindows();
// Moves the list box into the list window of the active main window (taking the old one's
// size, shown in its place when it was visible).
void MoveFileListTo(bool editWindow);

// After every shown image: the watched folder follows the current file; the list is refilled
// on a folder change or a signalled notification, else only the selection moves.
void SyncFileList();
void RefillFileList();

enum NavigateResult { kNavigateNone = 0, kNavigateFailed = 1, kNavigateLoaded = 2 };
NavigateResult Navigate(NavigateKind kind);

// cmd::kFileList: the list window left of the main window.
void ShowFileListWindow();
bool FolderWatched();
// The list's entry count and selected index (-1: none).
int FileListCount();
int FileListSelection();
// Loads an entry without the save-changes question (the slideshow); a failed entry leaves
// the list.
bool LoadFileListEntry(int index);
// Removes the selected entry; its index, or -1 without a selection.
int RemoveSelectedFileListEntry();
void ClearFileListSelection();
// On activation: the file's last-write time against the recorded one; offers to re-open.
void CheckCurrentFileChanged();
// At exit.
void CloseFolderWatch();

}  // namespace pelio
