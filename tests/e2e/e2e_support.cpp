// Driving Pelio.exe from outside. Win32.
#include "tests/e2e/e2e_support.h"

#include <commctrl.h>
#include <dlgs.h>

#include <vector>

namespace pelio::e2e {

namespace {

constexpr int kPollMs = 20;

struct Search {
    const wchar_t* cls;
    DWORD pid;
    bool visibleOnly;
    HWND found;
    const wchar_t* caption = nullptr;  // any when null
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (s->pid && pid != s->pid) return TRUE;
    if (s->visibleOnly && !IsWindowVisible(hwnd)) return TRUE;
    if (s->cls) {
        wchar_t name[64];
        if (!GetClassNameW(hwnd, name, 64) || lstrcmpW(name, s->cls) != 0) return TRUE;
    }
    if (s->caption && WindowText(hwnd) != s->caption) return TRUE;
    s->found = hwnd;
    return FALSE;
}

// The static text of a message box: the control 0xFFFF, else the longest static text.
std::wstring MessageText(HWND dialog) {
    if (HWND text = GetDlgItem(dialog, 0xFFFF)) return WindowText(text);
    std::wstring best;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32];
        GetClassNameW(child, name, 32);
        if (lstrcmpiW(name, L"Static") == 0) {
            std::wstring t = WindowText(child);
            if (t.size() > best.size()) best = t;
        }
    }
    return best;
}

}  // namespace

Process& Process::operator=(Process&& o) noexcept {
    if (this != &o) {
        this->~Process();
        handle_ = o.handle_;
        pid_ = o.pid_;
        o.handle_ = nullptr;
    }
    return *this;
}

Process::~Process() {
    if (!handle_) return;
    if (Running()) {
        TerminateProcess(handle_, 99);
        WaitForSingleObject(handle_, 5000);
    }
    CloseHandle(handle_);
}

bool Process::Running() const { return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT; }

DWORD Process::WaitExit(int timeoutMs) {
    if (!handle_ || WaitForSingleObject(handle_, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(handle_, &code);
    return code;
}

Process Launch(const std::wstring& exe, const std::wstring& args) {
    std::wstring cmd = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    if (!CreateProcessW(exe.c_str(), buf.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &si, &pi))
        return {};
    CloseHandle(pi.hThread);
    return Process(pi.hProcess, pi.dwProcessId);
}

HWND FindTopWindow(const wchar_t* cls, DWORD pid) {
    Search s{cls, pid, true, nullptr};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&s));
    if (s.found) return s.found;
    s.visibleOnly = false;
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND WaitForWindow(const wchar_t* cls, DWORD pid, int timeoutMs) {
    for (int waited = 0;; waited += kPollMs) {
        if (HWND h = FindTopWindow(cls, pid)) return h;
        if (waited >= timeoutMs) return nullptr;
        Sleep(kPollMs);
    }
}

std::wstring WindowText(HWND hwnd) {
    wchar_t buf[1024];
    int n = GetWindowTextW(hwnd, buf, 1024);
    return std::wstring(buf, n > 0 ? n : 0);
}

bool WaitForDialog(DWORD pid, const wchar_t* caption, int timeoutMs, DialogInfo& out) {
    for (int waited = 0;; waited += kPollMs) {
        // Another dialog may stand in front of the one awaited (a box over its owner).
        Search s{L"#32770", pid, true, nullptr, caption};
        EnumWindows(FindProc, reinterpret_cast<LPARAM>(&s));
        if (s.found) {
            out.hwnd = s.found;
            out.caption = WindowText(s.found);
            out.text = MessageText(s.found);
            return true;
        }
        if (waited >= timeoutMs) return false;
        Sleep(kPollMs);
    }
}

void PressButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool AnswerFileDialog(DWORD pid, const std::wstring& path, int timeoutMs, HWND& dialog) {
    HWND name = nullptr;
    const bool found = Eventually(
        [&] {
            DialogInfo info;
            if (!WaitForDialog(pid, nullptr, 0, info)) return false;
            dialog = info.hwnd;
            name = GetDlgItem(dialog, cmb13);
            if (!name) name = GetDlgItem(dialog, edt1);
            return name != nullptr;
        },
        timeoutMs);
    if (!found) return false;
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PressButton(dialog, IDOK);
    return true;
}

void PostDrag(HWND window, POINT from, POINT to) {
    PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(from.x, from.y));
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    for (int step = 1; step <= 4; ++step) {
        const int x = from.x + (to.x - from.x) * step / 4, y = from.y + (to.y - from.y) * step / 4;
        PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
    }
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
}

LRESULT SendCopyData(HWND target, ULONG_PTR data, const std::wstring* file) {
    COPYDATASTRUCT cds{};
    cds.dwData = data;
    if (file) {
        cds.cbData = static_cast<DWORD>((file->size() + 1) * sizeof(wchar_t));
        cds.lpData = const_cast<wchar_t*>(file->c_str());
    }
    DWORD_PTR result = 0;
    SendMessageTimeoutW(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 30000,
                        &result);
    return static_cast<LRESULT>(result);
}

std::wstring WindowsPathOf(const char* unixPath) {
    std::wstring out = L"Z:";
    for (const char* p = unixPath; *p; ++p) out.push_back(*p == '/' ? L'\\' : static_cast<wchar_t>(*p));
    return out;
}

std::wstring ControlText(HWND control) {
    const LRESULT length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const LRESULT n = SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

std::wstring ListViewText(HWND list, int item, int subItem) {
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return {};
    // The item record and its text buffer live in the list's own process.
    constexpr size_t kChars = 1100;
    auto* remote = static_cast<uint8_t*>(VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t),
                                                        MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    std::wstring text;
    if (remote) {
        LVITEMW record{};
        record.iSubItem = subItem;
        record.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
        record.cchTextMax = kChars;
        std::vector<wchar_t> buffer(kChars, L'\0');
        if (WriteProcessMemory(process, remote, &record, sizeof record, nullptr)) {
            const LRESULT n = SendMessageW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(remote));
            if (ReadProcessMemory(process, remote + sizeof(LVITEMW), buffer.data(), kChars * sizeof(wchar_t), nullptr))
                text.assign(buffer.data(), static_cast<size_t>(n > 0 && n < LRESULT(kChars) ? n : 0));
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return text;
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace pelio::e2e
