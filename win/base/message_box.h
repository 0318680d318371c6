// Message boxes of the program: errors and questions, with the file list and cursor rules. Win32.
#pragma once
#include <windows.h>

namespace pelio {

// Disables the file list window, if enabled, for as long as it lives (a modal box or dialog).
class FileListDisabled {
public:
    FileListDisabled();
    ~FileListDisabled();
    FileListDisabled(const FileListDisabled&) = delete;
    FileListDisabled& operator=(const FileListDisabled&) = delete;

private:
    HWND list_;
};

// An error from the general table, owned by the dialog owner window.
void ShowGeneralError(int index);
// An error text with caption "Error"; `owner` null shows it without an owner.
void ShowErrorText(const wchar_t* text, HWND owner);
// An error text with a caption of its own.
void ShowErrorTextWithCaption(const wchar_t* text, const wchar_t* caption, HWND owner);
// An information box with its own caption.
void ShowInformation(const wchar_t* text, const wchar_t* caption);
// A question with caption "Pelio" and the warning icon; returns the button pressed.
int AskQuestion(const wchar_t* text, UINT buttons);
// A question with a caption of its own and no icon, brought to the foreground; returns the
// button pressed.
int AskQuestionWithCaption(const wchar_t* text, const wchar_t* caption, UINT buttons, HWND owner);

}  // namespace pelio
