// Toolbar images, tips and custom drawing. Win32.
#include "win/base/toolbar_support.h"

#include <algorithm>

#include "core/commands/command_table.h"
#include "win/base/app_state.h"

namespace pelio {

namespace {

constexpr COLORREF kMaskColour = RGB(255, 0, 255);

struct DrawingTools {
    HPEN hotPen = nullptr, checkedPen = nullptr;
    HBRUSH hotBrush = nullptr, checkedBrush = nullptr;
};

DrawingTools& Stored() {
    static DrawingTools tools;
    return tools;
}

DrawingTools& Tools() {
    DrawingTools& tools = Stored();
    if (!tools.hotPen) {
        tools.hotPen = CreatePen(PS_SOLID, 1, RGB(72, 144, 144));
        tools.hotBrush = CreateSolidBrush(RGB(232, 255, 255));
        tools.checkedPen = CreatePen(PS_SOLID, 1, RGB(128, 128, 160));
        tools.checkedBrush = CreateSolidBrush(RGB(214, 218, 236));
    }
    return tools;
}

const ToolbarLabel* FindLabel(std::span<const ToolbarLabel> labels, int command) {
    for (const ToolbarLabel& l : labels)
        if (l.command == command) return &l;
    return nullptr;
}

}  // namespace

HIMAGELIST LoadToolbarImages(int resourceId, int count) {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, count, 0);
    if (!list) return nullptr;
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageW(App().instance, MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!strip || ImageList_AddMasked(list, strip, kMaskColour) < 0) {
        if (strip) DeleteObject(strip);
        ImageList_Destroy(list);
        return nullptr;
    }
    DeleteObject(strip);
    return list;
}

std::wstring ToolbarTipText(int command, const std::wstring& caption) {
    return TipWithShortcut(caption, command, App().accelTable);
}

bool FillToolbarTip(LPARAM lp, TipCaptionFn captionOf) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
    if (info->hdr.code != TTN_GETDISPINFOW) return false;
    static std::wstring text;
    const int command = static_cast<int>(info->hdr.idFrom);
    const wchar_t* caption = captionOf ? captionOf(command) : nullptr;
    if (caption && *caption) {
        text = ToolbarTipText(command, caption);
    } else {
        text = ToolTipText(command, App().accelTable);
    }
    info->lpszText = text.data();
    info->hinst = nullptr;
    return true;
}

LRESULT ToolbarCustomDraw(LPARAM lp, std::span<const ToolbarLabel> labels) {
    auto* cd = reinterpret_cast<NMTBCUSTOMDRAW*>(lp);
    switch (cd->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        const UINT state = cd->nmcd.uItemState;
        const bool disabled = state & (CDIS_DISABLED | CDIS_GRAYED);
        const bool hot = (state & CDIS_HOT) && !disabled;
        const bool checked = state & CDIS_CHECKED;
        LRESULT result = CDRF_DODEFAULT;
        if (hot || checked) {
            DrawingTools& t = Tools();
            HDC dc = cd->nmcd.hdc;
            HGDIOBJ oldPen = SelectObject(dc, hot ? t.hotPen : t.checkedPen);
            HGDIOBJ oldBrush = SelectObject(dc, hot ? t.hotBrush : t.checkedBrush);
            const RECT& r = cd->nmcd.rc;
            RoundRect(dc, r.left, r.top, r.right, r.bottom, 5, 5);
            SelectObject(dc, oldBrush);
            SelectObject(dc, oldPen);
            result |= TBCDRF_NOBACKGROUND | TBCDRF_NOEDGES | TBCDRF_NOOFFSET;
        }
        if (FindLabel(labels, static_cast<int>(cd->nmcd.dwItemSpec))) result |= CDRF_NOTIFYPOSTPAINT;
        return result;
    }
    case CDDS_ITEMPOSTPAINT: {
        const ToolbarLabel* label = FindLabel(labels, static_cast<int>(cd->nmcd.dwItemSpec));
        if (!label) return CDRF_DODEFAULT;
        HDC dc = cd->nmcd.hdc;
        const bool disabled = cd->nmcd.uItemState & (CDIS_DISABLED | CDIS_GRAYED);
        HGDIOBJ oldFont = SelectObject(dc, App().uiFont);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        RECT r = cd->nmcd.rc;
        DrawTextW(dc, label->text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, oldFont);
        return CDRF_DODEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

int FittedWidth(TextControl kind, const wchar_t* text, int minimum) {
    SIZE size{};
    if (HDC dc = GetDC(nullptr)) {
        HGDIOBJ old = SelectObject(dc, App().uiFont);
        GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
    }
    int extra = 1;
    if (kind == TextControl::Check) extra = GetSystemMetrics(SM_CXMENUCHECK) + 6;
    if (kind == TextControl::Field) extra = 2 * GetSystemMetrics(SM_CXEDGE) + 6;
    return std::max(minimum, static_cast<int>(size.cx) + extra);
}

void ReleaseToolbarDrawing() {
    DrawingTools& t = Stored();
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(t.hotPen), static_cast<HGDIOBJ>(t.checkedPen),
                      static_cast<HGDIOBJ>(t.hotBrush), static_cast<HGDIOBJ>(t.checkedBrush)})
        if (o) DeleteObject(o);
    t = DrawingTools{};
}

}  // namespace pelio
