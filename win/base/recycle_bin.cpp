// Recycle-bin deletion through the shell file operation. Win32.
#include "win/base/recycle_bin.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "win/base/app_state.h"

namespace pelio {

bool MoveToRecycleBin(const std::wstring& path, bool confirm) {
    std::vector<wchar_t> from(path.begin(), path.end());
    from.push_back(0);
    from.push_back(0);  // the list ends with an empty name
    SHFILEOPSTRUCTW op{};
    op.hwnd = App().dialogOwner;
    op.wFunc = FO_DELETE;
    op.pFrom = from.data();
    op.fFlags = FOF_ALLOWUNDO | FOF_SILENT | (confirm ? 0 : FOF_NOCONFIRMATION);
    return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted;
}

}  // namespace pelio
