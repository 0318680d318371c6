// Pair registration dialog. Win32.
#include "win/ops/pair_register.h"

#include <string>

#include "core/settings/save_panel.h"
#include "resources/resource_ids.h"
#include "win/base/app_state.h"

namespace pelio {

namespace {

struct Request {
    const wchar_t* title;
    POINT at;
    SizeSlots* pairs;
};

HWND g_open = nullptr;

void Fill(HWND dialog, int id, int value) {
    SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, 4, 0);
    SetDlgItemTextW(dialog, id, value ? std::to_wstring(value).c_str() : L"");
}

int Read(HWND dialog, int id) {
    wchar_t text[16] = L"";
    GetDlgItemTextW(dialog, id, text, 16);
    return FieldNumber(text);
}

INT_PTR CALLBACK PairDialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto* request = reinterpret_cast<Request*>(lp);
        SetWindowLongPtrW(dialog, DWLP_USER, lp);
        SetWindowTextW(dialog, request->title);
        for (int i = 0; i < kSizeSlotCount; ++i) {
            Fill(dialog, IDC_PAIR_WIDTH1 + i, (*request->pairs)[size_t(i)].width);
            Fill(dialog, IDC_PAIR_HEIGHT1 + i, (*request->pairs)[size_t(i)].height);
        }
        SetWindowPos(dialog, nullptr, request->at.x, request->at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SendMessageW(dialog, DM_REPOSITION, 0, 0);  // kept on the screen
        g_open = dialog;
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            auto* request = reinterpret_cast<Request*>(GetWindowLongPtrW(dialog, DWLP_USER));
            for (int i = 0; i < kSizeSlotCount; ++i)
                (*request->pairs)[size_t(i)] = SizeSlot{Read(dialog, IDC_PAIR_WIDTH1 + i), Read(dialog, IDC_PAIR_HEIGHT1 + i)};
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        g_open = nullptr;
        break;
    }
    return FALSE;
}

}  // namespace

bool RegisterPairs(HWND owner, const wchar_t* title, POINT at, SizeSlots& pairs) {
    SizeSlots typed = pairs;
    Request request{title, at, &typed};
    const INT_PTR result = DialogBoxParamW(App().instance, MAKEINTRESOURCEW(IDD_PAIR_REGISTER), owner,
                                           PairDialogProc, reinterpret_cast<LPARAM>(&request));
    if (result != IDOK) return false;
    pairs = typed;
    return true;
}

void ClosePairRegistration() {
    if (g_open) EndDialog(g_open, IDCANCEL);
}

}  // namespace pelio
