// Message boxes. Win32.
#include "win/base/message_box.h"

#include "core/commands/messages.h"
#include "win/base/app_state.h"

namespace pelio {

namespace {

// While a box is up the file list window is disabled and a hidden cursor is shown.
int ShowBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags) {
    AppState& app = App();
    FileListDisabled disabled;
    bool wasHidden = app.cursorHidden;
    if (wasHidden) {
        ShowCursor(TRUE);
        app.cursorHidden = false;
    }
    int result = MessageBoxW(owner, text, caption, flags);
    if (wasHidden) {
        ShowCursor(FALSE);
        app.cursorHidden = true;
    }
    return result;
}

}  // namespace

FileListDisabled::FileListDisabled()
    : list_(App().fileList && IsWindowEnabled(App().fileList) ? App().fileList : nullptr) {
    if (list_) EnableWindow(list_, FALSE);
}

FileListDisabled::~FileListDisabled() {
    if (list_) EnableWindow(list_, TRUE);
}

void ShowGeneralError(int index) {
    ShowErrorText(GeneralErrorText(index), App().dialogOwner);
}

void ShowErrorText(const wchar_t* text, HWND owner) {
    ShowErrorTextWithCaption(text, kErrorCaption, owner);
}

void ShowErrorTextWithCaption(const wchar_t* text, const wchar_t* caption, HWND owner) {
    ShowBox(owner, text, caption, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

void ShowInformation(const wchar_t* text, const wchar_t* caption) {
    ShowBox(App().dialogOwner, text, caption, MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
}

int AskQuestion(const wchar_t* text, UINT buttons) {
    return ShowBox(App().dialogOwner, text, kQuestionCaption, buttons | MB_ICONWARNING);
}

int AskQuestionWithCaption(const wchar_t* text, const wchar_t* caption, UINT buttons, HWND owner) {
    return ShowBox(owner, text, caption, buttons | MB_SETFOREGROUND);
}

}  // namespace pelio
