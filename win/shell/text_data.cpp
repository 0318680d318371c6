// Text-data windows. Win32.
#include "win/shell/text_data.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/commands/messages.h"
#include "core/image/codec_error.h"
#include "core/image/exif_text.h"
#include "core/image/jpeg_markers.h"
#include "core/image/png_text.h"
#include "resources/resource_ids.h"
#include "win/base/ansi_text.h"
#include "win/base/app_state.h"
#include "win/base/message_box.h"
#include "win/base/report_list.h"
#include "win/image/current_image.h"
#include "win/image/mapped_file.h"

namespace pelio {

namespace {

constexpr size_t kKeywordLimit = 79;
constexpr size_t kTextLimit = 1024;

constexpr ReportColumn kPngColumns[] = {{L"キーワード", 74}, {L"テキスト", 197}};
constexpr ReportColumn kExifColumns[] = {{L"項目", 70}, {L"データ", 201}};

// What a text-data window shows: the file's texts, read when it opens.
struct TextDataRecord {
    std::wstring path;
    std::vector<PngText> texts;
    ExifValues exif;
};

void AddRow(HWND list, int row, const std::wstring& first, const std::wstring& second) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(first.c_str());
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = const_cast<wchar_t*>(second.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

HWND PrepareList(HWND dialog, int id, std::span<const ReportColumn> columns) {
    HWND list = GetDlgItem(dialog, id);
    SetUpReportList(list, columns);
    RepaintAfterScroll(list);
    return list;
}

bool ReadPngTexts(TextDataRecord& r) {
    MappedFile file;
    int error = 0;
    return file.Open(r.path) && ListPngTexts(file.Bytes(), r.texts, error);
}

bool ReadExif(TextDataRecord& r) {
    MappedFile file;
    ExifData exif;
    bool found = false;
    if (!file.Open(r.path) || ReadJpegExif(file.Bytes(), exif, found) != kCodecOk || !found) return false;
    r.exif = FormatExifValues(exif, FromAnsiText);
    return true;
}

// The data could not be read: the message over the window, which then closes.
void Refuse(HWND dialog) {
    ShowErrorText(GeneralErrorText(kErrReadData), dialog);
    EndDialog(dialog, 0);
}

void CopyExifText(HWND dialog, const ExifValues& values) {
    const std::wstring text = ExifClipboardText(values);
    if (!OpenClipboard(dialog)) return;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* p = GlobalLock(memory)) {
            std::memcpy(p, text.c_str(), bytes);
            GlobalUnlock(memory);
            if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
        } else {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

INT_PTR CALLBACK PngTextsProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto& r = *reinterpret_cast<TextDataRecord*>(lp);
        if (!ReadPngTexts(r)) {
            Refuse(dialog);
            return TRUE;
        }
        HWND list = PrepareList(dialog, IDC_PNG_TEXT_LIST, kPngColumns);
        for (size_t i = 0; i < r.texts.size() && i < kPngMaxTexts; ++i)
            AddRow(list, static_cast<int>(i), FromAnsi(r.texts[i].keyword).substr(0, kKeywordLimit),
                   FromAnsi(r.texts[i].text).substr(0, kTextLimit));
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK ExifProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    auto* r = reinterpret_cast<TextDataRecord*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG: {
        r = reinterpret_cast<TextDataRecord*>(lp);
        if (!ReadExif(*r)) {
            Refuse(dialog);
            return TRUE;
        }
        SetWindowLongPtrW(dialog, DWLP_USER, lp);
        HWND list = PrepareList(dialog, IDC_EXIF_LIST, kExifColumns);
        for (size_t row = 0; row < kExifRowCount; ++row)
            AddRow(list, static_cast<int>(row), kExifItemNames[row], r->exif[row]);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_EXIF_COPY:
            if (r) CopyExifText(dialog, r->exif);
            return TRUE;
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

void ShowTextData() {
    const CurrentImage& c = Current();
    if (!c.Loaded() || c.info.text == 0) return;
    if (!CurrentFileExists()) {
        ShowGeneralError(kErrReadData);
        return;
    }
    int resource = 0;
    DLGPROC proc = nullptr;
    if (c.format == ImageFormat::Png) {
        resource = IDD_PNG_TEXTS;
        proc = PngTextsProc;
    } else if (c.format == ImageFormat::Jpeg) {
        resource = IDD_EXIF_DATA;
        proc = ExifProc;
    } else {
        return;
    }
    TextDataRecord record;
    record.path = c.path;
    FileListDisabled disabled;
    DialogBoxParamW(App().instance, MAKEINTRESOURCEW(resource), App().dialogOwner, proc,
                    reinterpret_cast<LPARAM>(&record));
}

}  // namespace pelio
