// The file-type list of the open dialog. Portable.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace pelio {

// Description and pattern pairs, in order; the plug-in patterns join the first entry and get
// their own entry when there are any.
std::vector<std::pair<std::wstring, std::wstring>> OpenDialogFilters(
    const std::vector<std::wstring>& pluginPatterns);

// The filters as the open dialog takes them: each string ends with a zero, the list with two.
std::wstring JoinDialogFilters(const std::vector<std::pair<std::wstring, std::wstring>>& filters);

}  // namespace pelio
