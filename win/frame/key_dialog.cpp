// The key customisation dialog. Win32.
#include "win/frame/key_dialog.h"

#include <commctrl.h>

#include <string>

#include "core/commands/key_assignment.h"
#include "core/commands/key_names.h"
#include "resources/resource_ids.h"
#include "win/base/app_state.h"
#include "win/base/message_box.h"
#include "win/base/report_list.h"

namespace pelio {

namespace {

constexpr ReportColumn kColumns[] = {{L"コマンド", 211}, {L"設定キー", 80}};
constexpr wchar_t kNoSlotText[] = L"コマンドが選択されていません。";
constexpr wchar_t kNoSlotCaption[] = L"未選択";
constexpr wchar_t kInUseText[] = L"選択されたキーは既に登録済みです。\n別のキーを選択してください。";
constexpr wchar_t kInUseCaption[] = L"登録済み";
constexpr wchar_t kResetText[] = L"すべての値を初期設定に戻しますか？";
constexpr wchar_t kResetCaption[] = L"初期化";

struct KeyDialog {
    AccelTable& table;
    HWND dialog = nullptr;
    HWND slots = nullptr;  // the list view, one row per slot
    HWND keys = nullptr;   // the list box of offered keys
    bool changed = false;
};

KeyDialog& DialogOf(HWND dialog) { return *reinterpret_cast<KeyDialog*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

void ShowSlotKey(const KeyDialog& d, int slot) {
    std::wstring text = ShortcutText(d.table[slot]);
    LVITEMW item{};
    item.iSubItem = 1;
    item.pszText = text.data();
    SendMessageW(d.slots, LVM_SETITEMTEXTW, slot, reinterpret_cast<LPARAM>(&item));
}

void Fill(KeyDialog& d) {
    SetUpReportList(d.slots, kColumns);
    RepaintAfterScroll(d.slots);
    const auto names = SlotNames();
    for (int slot = 0; slot < kAccelCount; ++slot) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = slot;
        item.pszText = const_cast<wchar_t*>(names[slot]);
        SendMessageW(d.slots, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        ShowSlotKey(d, slot);
    }
    for (uint16_t key : OfferedKeys()) SendMessageW(d.keys, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(KeyName(key)));
}

// The list takes the width of its columns and its scroll bar in any dialog font; the controls
// right of it and the dialog follow.
void FitSlotList(const KeyDialog& d) {
    RECT list{}, client{};
    GetWindowRect(d.slots, &list);
    GetClientRect(d.slots, &client);
    const int width = list.right - list.left;
    int columns = 0;
    for (const ReportColumn& c : kColumns) columns += c.width;
    const int grow = columns + (width - client.right) - width;
    if (grow == 0) return;
    SetWindowPos(d.slots, nullptr, 0, 0, width + grow, list.bottom - list.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (HWND child = GetWindow(d.dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (child == d.slots) continue;
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, d.dialog, reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(child, nullptr, r.left + grow, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame{};
    GetWindowRect(d.dialog, &frame);
    SetWindowPos(d.dialog, nullptr, frame.left - grow / 2, frame.top, frame.right - frame.left + grow,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

int SelectedSlot(const KeyDialog& d) {
    return static_cast<int>(SendMessageW(d.slots, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

unsigned SelectedKey(const KeyDialog& d) {
    const LRESULT index = SendMessageW(d.keys, LB_GETCURSEL, 0, 0);
    return index >= 0 && index < kOfferedKeyCount ? OfferedKeys()[index] : 0;
}

void OnAssign(KeyDialog& d) {
    const int slot = SelectedSlot(d);
    const bool ctrl = IsDlgButtonChecked(d.dialog, IDC_KEY_CTRL) == BST_CHECKED;
    const bool shift = IsDlgButtonChecked(d.dialog, IDC_KEY_SHIFT) == BST_CHECKED;
    switch (AssignKey(d.table, slot, SelectedKey(d), ctrl, shift)) {
    case AssignOutcome::NoSlot: ShowErrorTextWithCaption(kNoSlotText, kNoSlotCaption, d.dialog); break;
    case AssignOutcome::NoKey: break;
    case AssignOutcome::InUse: ShowErrorTextWithCaption(kInUseText, kInUseCaption, d.dialog); break;
    case AssignOutcome::Assigned:
        ShowSlotKey(d, slot);
        d.changed = true;
        break;
    }
}

void OnRemove(KeyDialog& d) {
    const int slot = SelectedSlot(d);
    if (!RemoveKey(d.table, slot)) {
        ShowErrorTextWithCaption(kNoSlotText, kNoSlotCaption, d.dialog);
        return;
    }
    ShowSlotKey(d, slot);
    d.changed = true;
}

void OnReset(KeyDialog& d) {
    if (AskQuestionWithCaption(kResetText, kResetCaption, MB_YESNO, d.dialog) != IDYES) return;
    ResetKeys(d.table);
    for (int slot = 0; slot < kAccelCount; ++slot) ShowSlotKey(d, slot);
    d.changed = true;
}

void Close(KeyDialog& d) {
    StopRepaintAfterScroll(d.slots);
    EndDialog(d.dialog, 0);
}

INT_PTR CALLBACK KeyDialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lp);
        KeyDialog& d = DialogOf(dialog);
        d.dialog = dialog;
        d.slots = GetDlgItem(dialog, IDC_KEY_SLOTS);
        d.keys = GetDlgItem(dialog, IDC_KEY_CHOICES);
        Fill(d);
        FitSlotList(d);
        return TRUE;
    }
    if (msg != WM_COMMAND || !GetWindowLongPtrW(dialog, DWLP_USER)) return FALSE;
    KeyDialog& d = DialogOf(dialog);
    switch (LOWORD(wp)) {
    case IDC_KEY_ASSIGN: OnAssign(d); return TRUE;
    case IDC_KEY_REMOVE: OnRemove(d); return TRUE;
    case IDC_KEY_RESET: OnReset(d); return TRUE;
    case IDC_KEY_CLOSE:
    case IDCANCEL: Close(d); return TRUE;
    }
    return FALSE;
}

}  // namespace

bool OpenKeyDialog(HWND owner, AccelTable& copy) {
    KeyDialog d{copy};
    DialogBoxParamW(App().instance, MAKEINTRESOURCEW(IDD_KEY_CUSTOMISE), owner, KeyDialogProc,
                    reinterpret_cast<LPARAM>(&d));
    return d.changed;
}

}  // namespace pelio
