// File list rules. Portable.
#include "core/view/folder_list.h"

namespace pelio {

bool ListedForPattern(std::wstring_view name, size_t patternExtensionLength) {
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring_view::npos) name.remove_prefix(slash + 1);
    const size_t dot = name.find_last_of(L'.');
    const size_t extension = dot == std::wstring_view::npos ? 0 : name.size() - dot;
    return extension == patternExtensionLength;
}

int NavigationTarget(NavigateKind kind, int count, int selected) {
    if (count <= 0) return -1;
    switch (kind) {
    case NavigateKind::First: return selected == 0 ? -1 : 0;
    case NavigateKind::Last: return selected == count - 1 ? -1 : count - 1;
    case NavigateKind::Previous: return selected <= 0 ? -1 : selected - 1;
    case NavigateKind::Next: return selected >= count - 1 ? -1 : selected + 1;
    }
    return -1;
}

}  // namespace pelio
