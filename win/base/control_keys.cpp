// Keys that the focused control uses itself, kept from the program's shortcuts. Win32.
#include "win/base/control_keys.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

namespace pelio {

namespace {

enum class KeyUser { None, List, Slider, UpDown };

constexpr UINT kNavigationKeys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT, VK_HOME, VK_END};
constexpr UINT kListKeys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT, VK_HOME, VK_END, VK_F4};
constexpr UINT kArrowKeys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN};

template <size_t N>
bool OneOf(const UINT (&keys)[N], WPARAM key) {
    return std::find(std::begin(keys), std::end(keys), key) != std::end(keys);
}

bool HasClass(HWND hwnd, const wchar_t* name) {
    wchar_t cls[32];
    return hwnd && GetClassNameW(hwnd, cls, 32) && lstrcmpiW(cls, name) == 0;
}

// The control that acts on keys sent to `hwnd`: a list's own edit field counts as the list.
KeyUser UserOf(HWND& hwnd) {
    if (HasClass(hwnd, L"Edit") && HasClass(GetParent(hwnd), WC_COMBOBOXW)) hwnd = GetParent(hwnd);
    if (HasClass(hwnd, WC_COMBOBOXW)) return KeyUser::List;
    if (HasClass(hwnd, TRACKBAR_CLASSW)) return KeyUser::Slider;
    if (HasClass(hwnd, UPDOWN_CLASSW)) return KeyUser::UpDown;
    return KeyUser::None;
}

bool Owns(HWND hwnd, WPARAM key) {
    switch (UserOf(hwnd)) {
    case KeyUser::List:
        return SendMessageW(hwnd, CB_GETDROPPEDSTATE, 0, 0) || OneOf(kListKeys, key);
    case KeyUser::Slider: return OneOf(kNavigationKeys, key);
    case KeyUser::UpDown: return OneOf(kArrowKeys, key);
    default: return false;
    }
}

bool AltHeld() { return GetKeyState(VK_MENU) < 0; }

}  // namespace

bool ControlOwnsKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_CHAR) return false;
    if (AltHeld()) return false;
    if (msg.message == WM_CHAR) {
        HWND hwnd = msg.hwnd;
        return UserOf(hwnd) == KeyUser::List && SendMessageW(hwnd, CB_GETDROPPEDSTATE, 0, 0);
    }
    return Owns(msg.hwnd, msg.wParam);
}

bool FocusedControlOwnsKey(WPARAM key) { return !AltHeld() && Owns(GetFocus(), key); }

}  // namespace pelio
