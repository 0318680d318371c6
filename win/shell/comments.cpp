// Comment editors. Win32.
#include "win/shell/comments.h"

#include <windows.h>

#include <string>

#include "core/commands/messages.h"
#include "core/image/codec_error.h"
#include "core/image/comment_text.h"
#include "core/image/jpeg_markers.h"
#include "core/image/png_text.h"
#include "resources/resource_ids.h"
#include "win/base/ansi_text.h"
#include "win/base/app_state.h"
#include "win/base/message_box.h"
#include "win/image/current_image.h"
#include "win/image/file_replace.h"
#include "win/image/file_sink.h"
#include "win/image/mapped_file.h"
#include "win/image/save_dispatch.h"

namespace pelio {

namespace {

constexpr size_t kCommentCharLimit = 10000;

std::wstring EditText(HWND edit) {
    const int length = GetWindowTextLengthW(edit);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), length + 1)));
    if (text.size() > kCommentCharLimit) text.resize(kCommentCharLimit);
    return text;
}

// Fills the edit and gives it the focus with the caret at the start, nothing selected; the
// dialog procedure then returns FALSE.
void ShowText(HWND edit, const std::wstring& text) {
    SendMessageW(edit, EM_SETLIMITTEXT, kCommentCharLimit, 0);
    SetWindowTextW(edit, text.substr(0, kCommentCharLimit).c_str());
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, 0);
}

INT_PTR CALLBACK SaveCommentProc(HWND dialog, UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        ShowText(GetDlgItem(dialog, IDC_SAVE_COMMENT_TEXT), Saves().commentText);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            SaveSession& s = Saves();
            s.commentText = EditText(GetDlgItem(dialog, IDC_SAVE_COMMENT_TEXT));
            s.comment = CommentToAnsi(s.commentText);
            s.writeComment = !s.commentText.empty();
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// What the file comment dialog works on.
struct FileCommentRecord {
    std::wstring path;
    ImageFormat format = ImageFormat::Unknown;
    bool rewritten = false;
};

std::wstring ReadFileComment(const FileCommentRecord& r) {
    MappedFile file;
    if (!file.Open(r.path)) return {};
    std::string text;
    if (r.format == ImageFormat::Png) {
        bool found = false;
        int error = 0;
        ReadPngComment(file.Bytes(), text, found, error);
    } else {
        ReadJpegComment(file.Bytes(), text);
    }
    return FromAnsi(text);
}

void RemoveTempFile(const std::wstring& temp, HWND owner) {
    if (!DeleteFileW(temp.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        ShowErrorText(GeneralErrorText(kErrTempDelete), owner);
}

// The file rewritten through a temporary file; false (with its message) when it stays as it
// was and the dialog stays open.
bool SaveFileComment(HWND dialog, FileCommentRecord& r) {
    const std::wstring temp = NewTempFile();
    if (temp.empty()) {
        ShowErrorText(GeneralErrorText(kErrTempCreate), dialog);
        return false;
    }
    const std::string text = CommentToAnsi(EditText(GetDlgItem(dialog, IDC_FILE_COMMENT_TEXT)));
    CommentRewrite rewrite;
    int error = kCodecOk;
    {
        MappedFile source;
        FileSink sink;
        if (!source.Open(r.path)) {
            error = kCodecReadFailed;
        } else if (!sink.Create(temp)) {
            error = kCodecCreateFailed;
        } else {
            error = RewriteComment(r.format, source.Bytes(), text, sink, rewrite);
            if (!sink.Close() && error == kCodecOk) error = kCodecCreateFailed;
        }
    }
    if (error != kCodecOk) {
        ReportCodecError(dialog, error);
        RemoveTempFile(temp, dialog);
        return false;
    }
    // Neither a new comment nor an old one: the file needs no change.
    if (!rewrite.written) {
        RemoveTempFile(temp, dialog);
        return true;
    }
    if (!ReplaceFileFrom(temp, r.path, true)) {
        ShowErrorText(GeneralErrorText(kErrFileCreate), dialog);
        RemoveTempFile(temp, dialog);
        return false;
    }
    CurrentImage& c = Current();
    AdjustCommentInfo(r.format, rewrite, c.info);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(r.path.c_str(), GetFileExInfoStandard, &data)) {
        c.fileSize = static_cast<int>(data.nFileSizeLow);
        c.fileTime = uint64_t{data.ftLastWriteTime.dwLowDateTime} | uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32;
    }
    r.rewritten = true;
    RemoveTempFile(temp, dialog);
    return true;
}

INT_PTR CALLBACK FileCommentProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    auto* r = reinterpret_cast<FileCommentRecord*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lp);
        r = reinterpret_cast<FileCommentRecord*>(lp);
        ShowText(GetDlgItem(dialog, IDC_FILE_COMMENT_TEXT), ReadFileComment(*r));
        return FALSE;
    case WM_COMMAND:
        if (!r) break;
        if (LOWORD(wp) == IDC_FILE_COMMENT_SAVE) {
            if (SaveFileComment(dialog, *r)) EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

void EditSaveComment() {
    SaveSession& s = Saves();
    if (s.writeComment) {
        s.writeComment = false;
        return;
    }
    FileListDisabled disabled;
    DialogBoxParamW(App().instance, MAKEINTRESOURCEW(IDD_SAVE_COMMENT), App().dialogOwner, SaveCommentProc, 0);
}

bool EditFileComment() {
    const CurrentImage& c = Current();
    if (!c.Loaded() || (c.format != ImageFormat::Png && c.format != ImageFormat::Jpeg)) return false;
    if (!CurrentFileExists()) {
        ShowGeneralError(kErrReadData);
        return false;
    }
    FileCommentRecord record{c.path, c.format};
    FileListDisabled disabled;
    DialogBoxParamW(App().instance, MAKEINTRESOURCEW(IDD_FILE_COMMENT), App().dialogOwner, FileCommentProc,
                    reinterpret_cast<LPARAM>(&record));
    return record.rewritten;
}

}  // namespace pelio
