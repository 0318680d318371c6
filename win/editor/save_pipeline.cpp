// Saved-result preview and the save execution. Win32.
#include "win/editor/save_pipeline.h"

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>

#include "core/image/jpeg_lossless.h"
#include "core/commands/messages.h"
#include "core/view/caption.h"
#include "win/base/app_state.h"
#include "win/base/busy.h"
#include "win/base/message_box.h"
#include "win/editor/edit_panes.h"
#include "win/editor/edit_state.h"
#include "win/editor/edit_toolbars.h"
#include "win/editor/save_panel.h"
#include "win/image/allocators.h"
#include "win/image/current_image.h"
#include "win/image/load_dispatch.h"
#include "win/image/save_dispatch.h"
#include "win/viewer/viewer_window.h"

namespace pelio {

namespace {

struct Preview {
    bool shown = false;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    int64_t fileBytes = 0;
};

Preview& ThePreview() {
    static Preview preview;
    return preview;
}

ImageFormat DecoderFormat(int saveFormat) {
    switch (static_cast<SaveFormat>(saveFormat)) {
    case SaveFormat::Png: return ImageFormat::Png;
    case SaveFormat::Jpeg:
    case SaveFormat::JpegLossless: return ImageFormat::Jpeg;
    case SaveFormat::Tiff: return ImageFormat::Tiff;
    case SaveFormat::Gif: return ImageFormat::Gif;
    default: return ImageFormat::Bmp;
    }
}

bool PreviewIsCurrent() {
    const SaveSession& s = Saves();
    return ThePreview().shown && !s.tempFile.empty() && s.snapshot == CurrentSnapshot();
}

void RefreshTitles() {
    if (App().displayMode == kModeEdit) UpdateEditTitle();
    else UpdateCaption();
}

// --- the save-as dialog -----------------------------------------------------------------------

struct DialogState {
    bool fromEdit = false;
    bool placed = false;
};

DialogState& Dialog() {
    static DialogState state;
    return state;
}

constexpr const wchar_t* kExtensions[] = {L"bmp", L"png", L"jpg", L"tif", L"gif", L"jpg"};

// The dialog is placed under the rebar once, then moves freely.
void PlaceUnderRebar(HWND dialog) {
    DialogState& d = Dialog();
    if (!d.fromEdit || d.placed) return;
    d.placed = true;
    const POINT corner = RebarBottomLeft();
    HMONITOR monitor = MonitorFromPoint(corner, MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (!GetMonitorInfoW(monitor, &mi)) return;
    RECT r;
    GetWindowRect(dialog, &r);
    const int w = std::min<int>(r.right - r.left, mi.rcWork.right - corner.x);
    const int h = std::min<int>(r.bottom - r.top, mi.rcWork.bottom - corner.y);
    SetWindowPos(dialog, nullptr, corner.x, corner.y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

// A new file type: the format follows, the panel too, and the name loses its extension.
void OnTypeChange(HWND dialog, int type) {
    ImageSaveSettings& s = App().settings.save;
    if (type - 1 == s.format) return;
    s.format = type - 1;
    SendMessageW(dialog, CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(kExtensions[s.format]));
    if (App().displayMode == kModeEdit) RefreshSavePanel();
    wchar_t name[MAX_PATH] = L"";
    HWND field = GetDlgItem(dialog, cmb13);
    if (!field) field = GetDlgItem(dialog, edt1);
    if (!field) return;
    GetWindowTextW(field, name, MAX_PATH);
    std::wstring text = name;
    const size_t dot = text.find_last_of(L'.');
    const size_t slash = text.find_last_of(L"\\/");
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return;
    text.erase(dot);
    SetWindowTextW(field, text.c_str());
}

UINT_PTR CALLBACK SaveDialogHook(HWND hook, UINT msg, WPARAM, LPARAM lp) {
    HWND dialog = GetParent(hook);
    switch (msg) {
    case WM_NOTIFY: {
        const auto* n = reinterpret_cast<const OFNOTIFYW*>(lp);
        if (n->hdr.code == CDN_INITDONE) PlaceUnderRebar(dialog);
        else if (n->hdr.code == CDN_TYPECHANGE) OnTypeChange(dialog, static_cast<int>(n->lpOFN->nFilterIndex));
        break;
    }
    }
    return 0;
}

std::wstring Filters(bool lossless) {
    std::wstring f;
    auto add = [&f](const wchar_t* name, const wchar_t* pattern) {
        f += name;
        f += L'\0';
        f += pattern;
        f += L'\0';
    };
    add(L"ビットマップ ファイル (*.bmp)", L"*.bmp");
    add(L"PNG ファイル (*.png)", L"*.png");
    add(L"JPEG ファイル (*.jpg;*.jpeg;*.jpe)", L"*.jpg;*.jpeg;*.jpe");
    add(L"TIFF ファイル (*.tif;*.tiff)", L"*.tif;*.tiff");
    add(L"GIF ファイル (*.gif)", L"*.gif");
    if (lossless) add(L"JPEG/TRANS (*.jpg;*.jpeg;*.jpe)", L"*.jpg;*.jpeg;*.jpe");
    return f;
}

std::wstring CurrentDirectory() {
    wchar_t dir[MAX_PATH];
    const DWORD n = GetCurrentDirectoryW(MAX_PATH, dir);
    return n > 0 && n < MAX_PATH ? std::wstring(dir, n) : std::wstring();
}

}  // namespace

bool PreviewShown() { return ThePreview().shown; }

void DiscardPreview() {
    Preview& p = ThePreview();
    if (p.shown) {
        SelectObject(EditState().previewMemoryDc, p.previous);
        DeleteObject(p.bitmap);
        ++EditState().previewGeneration;
        p = Preview{};
        if (EditState().previewPane) InvalidateRect(EditState().previewPane, nullptr, FALSE);
    }
    DiscardTempFile();
}

void SavePreview() {
    if (!Current().Loaded() || EditState().operation) return;
    if (PreviewIsCurrent()) return;
    {
        BusyIndicator busy(App().dialogOwner, L"wait...", false);
        DiscardPreview();
        if (!SaveToTempFile()) {
            UpdateEditTitle();
            return;
        }
        Image decoded;
        int fileSize = 0;
        const int format = App().settings.save.format;
        bool ok = DecodeFile(DecoderFormat(format), Saves().tempFile, decoded, fileSize);
        if (ok && format == static_cast<int>(SaveFormat::JpegLossless)) {
            // Trimmed edge blocks: the decoded picture sits in a black one of the image's size.
            DibAllocator allocator;
            Image placed;
            const CurrentImage& c = Current();
            ok = PlaceLosslessPreview(decoded, c.width, c.height, c.bitCount == 8 ? 8 : 24, allocator, placed);
            if (ok) decoded = placed;
        }
        if (ok) {
            Preview& p = ThePreview();
            p.bitmap = static_cast<HBITMAP>(decoded.bitmap);
            p.previous = SelectObject(EditState().previewMemoryDc, p.bitmap);
            ++EditState().previewGeneration;
            p.shown = true;
            WIN32_FILE_ATTRIBUTE_DATA data;
            p.fileBytes = GetFileAttributesExW(Saves().tempFile.c_str(), GetFileExInfoStandard, &data)
                              ? (int64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow)
                              : 0;
        } else {
            ShowGeneralError(kErrShowImage);
        }
    }
    UpdateEditTitle();
    if (!ThePreview().shown) return;
    if (EditState().paneMode != PaneMode::SideBySide) SetPaneMode(PaneMode::SideBySide);
    else RepaintPanes();
}

void UpdateEditTitle() {
    HWND window = EditState().window;
    if (!window) return;
    const CurrentImage& c = Current();
    std::wstring caption;
    if (c.Loaded()) {
        CaptionFacts facts{c.name, c.modified, c.format, c.info, c.width, c.height, c.sourceBits, c.fileSize};
        caption = CaptionText(facts);
    }
    const Preview& p = ThePreview();
    SetWindowTextW(window, EditWindowTitle(caption, c.Loaded(), p.shown && !EditState().operation, p.fileBytes).c_str());
}

const wchar_t* DefaultExtension(int format) { return kExtensions[std::clamp(format, 0, 5)]; }

bool SaveTo(const std::wstring& destination) {
    bool ok = false;
    {
        BusyIndicator busy(App().dialogOwner, L"wait...", false);
        if (PreviewIsCurrent()) {
            ok = CopyTempTo(destination);
        } else {
            DiscardPreview();
            if (SaveToTempFile()) {
                ok = CopyTempTo(destination);
                DiscardTempFile();
            }
        }
    }
    RefreshTitles();
    return ok;
}

bool SaveAs() {
    AppState& app = App();
    const CurrentImage& c = Current();
    if (!c.Loaded() || EditState().operation) return false;
    const bool listVisible = app.fileList && IsWindowVisible(app.fileList);
    if (listVisible) EnableWindow(app.fileList, FALSE);
    const std::wstring remembered = CurrentDirectory();

    wchar_t file[MAX_PATH] = L"";
    std::wstring proposed = c.name;
    if (const size_t dot = proposed.find_last_of(L'.'); dot != std::wstring::npos) proposed.erase(dot);
    lstrcpynW(file, proposed.c_str(), MAX_PATH);

    const bool lossless = c.format == ImageFormat::Jpeg;
    const std::wstring filters = Filters(lossless);
    ImageSaveSettings& s = app.settings.save;
    Dialog() = DialogState{app.displayMode == kModeEdit, false};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = app.dialogOwner;
    ofn.lpstrFilter = filters.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(s.format + 1);
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    // Until something was saved, the dialog starts in the image's own folder.
    std::wstring& folder = Saves().saveFolder;
    const std::wstring initial = !folder.empty() ? folder : c.path.substr(0, c.path.find_last_of(L"\\/") + 1);
    ofn.lpstrInitialDir = initial.empty() ? nullptr : initial.c_str();
    ofn.lpstrDefExt = DefaultExtension(s.format);
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING |
                OFN_ENABLEHOOK;
    ofn.lpfnHook = SaveDialogHook;
    bool written = false;
    if (GetSaveFileNameW(&ofn)) {
        RedrawWindow(app.dialogOwner, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        written = SaveTo(file);
        if (written) {
            RefreshTitles();
            if (ofn.nFileOffset > 0) folder.assign(file, ofn.nFileOffset - 1);
        }
    }
    if (!remembered.empty()) SetCurrentDirectoryW(remembered.c_str());
    if (listVisible) EnableWindow(app.fileList, TRUE);
    return written;
}

}  // namespace pelio
