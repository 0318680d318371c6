// Save dispatch through temporary files. Win32.
#include "win/image/save_dispatch.h"

#include <vector>

#include "core/image/codec_error.h"
#include "core/image/jpeg_codec.h"
#include "core/image/jpeg_lossless.h"
#include "core/commands/messages.h"
#include "win/base/app_state.h"
#include "win/base/busy.h"
#include "win/base/message_box.h"
#include "win/image/current_image.h"
#include "win/image/file_sink.h"
#include "win/image/mapped_file.h"
#include "win/image/file_replace.h"

namespace pelio {

namespace {

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

SaveSnapshot CurrentSnapshot() {
    const AppState& app = App();
    const SaveSession& s = Saves();
    return SaveSnapshot{app.settings.save, app.settings.read, Current().pendingTransform,
                        app.transparentSwitch, s.writeComment, s.comment};
}

SaveSession& Saves() {
    static SaveSession session;
    return session;
}

void ReportCodecError(HWND owner, int code) {
    if (code == kJpegLibraryError) {
        // The library's own text, from the ANSI code page, at most 200 characters.
        const std::string message = LastJpegLibraryMessage();
        if (message.empty()) return;
        wchar_t text[200];
        int n = MultiByteToWideChar(CP_ACP, 0, message.data(), static_cast<int>(message.size()), text, 199);
        text[n > 0 ? n : 0] = 0;
        ShowErrorTextWithCaption(text, L"JPEG Library Error", owner);
        return;
    }
    if (const wchar_t* text = CodecErrorMessage(code)) ShowErrorText(text, owner);
}

bool DiscardTempFile() {
    SaveSession& s = Saves();
    if (s.tempFile.empty()) return true;
    bool ok = DeleteFileW(s.tempFile.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
    s.tempFile.clear();
    if (!ok) ShowGeneralError(kErrTempDelete);
    return ok;
}

bool SaveToTempFile() {
    AppState& app = App();
    SaveSession& s = Saves();
    DiscardTempFile();

    std::wstring temp = NewTempFile();
    if (temp.empty()) {
        ShowGeneralError(kErrTempCreate);
        return false;
    }

    SaveOptions options;
    options.settings = app.settings.save;
    options.writeComment = s.writeComment;
    options.comment = s.comment;
    options.transparent = app.transparentSwitch;

    // The lossless save rearranges the source file's own coefficients: the file must still
    // be the one the image was loaded from.
    MappedFile source;
    if (app.settings.save.format == static_cast<int>(SaveFormat::JpegLossless)) {
        const CurrentImage& c = Current();
        const bool opened = !c.path.empty() && source.Open(c.path);
        if (const auto refusal = LosslessSaveRefusal(opened, source.LastWriteTime(), c.fileTime)) {
            ShowGeneralError(*refusal);
            DeleteFileW(temp.c_str());
            return false;
        }
        options.losslessSource = source.Bytes();
        options.losslessTransform = c.pendingTransform;
    }

    int error = kCodecOk;
    EncodeFn encode = FindEncoder(static_cast<SaveFormat>(app.settings.save.format));
    if (!encode) {
        error = kCodecUnsupported;
    } else {
        const bool png = app.settings.save.format == static_cast<int>(SaveFormat::Png);
        BusyIndicator title(png ? app.dialogOwner : nullptr, L"compress...");
        FileSink sink;
        if (!sink.Create(temp)) {
            error = kCodecCreateFailed;
        } else if (!encode(Current().AsImage(), options, sink, error) || !sink.Close()) {
            if (error == kCodecOk) error = kCodecSaveFailed;
        }
    }
    if (error != kCodecOk) {
        ReportCodecError(app.dialogOwner, error);
        if (!DeleteFileW(temp.c_str())) ShowGeneralError(kErrTempDelete);
        return false;
    }
    s.tempFile = temp;
    s.snapshot = CurrentSnapshot();
    return true;
}

bool CopyTempTo(const std::wstring& destination) {
    SaveSession& s = Saves();
    if (s.tempFile.empty()) return false;
    if (!ReplaceFileFrom(s.tempFile, destination, true)) {
        ShowGeneralError(kErrFileCreate);
        return false;
    }
    CurrentImage& c = Current();
    c.modified = false;
    if (SameText(destination, c.path)) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExW(destination.c_str(), GetFileExInfoStandard, &data)) {
            c.fileSize = static_cast<int>(data.nFileSizeLow);
            c.fileTime = uint64_t{data.ftLastWriteTime.dwLowDateTime} |
                         uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32;
        }
    }
    return true;
}

}  // namespace pelio
