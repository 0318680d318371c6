// Rules of the folder's file list: which names it lists and where navigation goes. Portable.
#pragma once
#include <cstddef>
#include <string_view>

namespace pelio {

// The built-in patterns' extensions, in the order the list is filled.
inline constexpr const wchar_t* kBrowseExtensions[] = {L".bmp", L".png", L".jpg", L".jpe",
                                                       L".jpeg", L".tif", L".tiff", L".gif"};

// A name the system matched for a pattern is listed only when its extension (from the last
// dot of the name part, dot included) is exactly as long as the pattern's: this drops names
// matched through their short alias or by a longer extension.
bool ListedForPattern(std::wstring_view name, size_t patternExtensionLength);

enum class NavigateKind { First = 0, Last = 1, Previous = 2, Next = 3 };

// The list index to move to, or -1 for no move (no wrap-around; `selected` -1 for none).
int NavigationTarget(NavigateKind kind, int count, int selected);

}  // namespace pelio
