// Replacing a file by a finished one so that a failure never leaves it damaged. Win32.
#include "win/image/file_replace.h"

#include <windows.h>

#include "win/base/recycle_bin.h"

namespace pelio {

namespace {

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    if (slash == 0 || (slash == 2 && path[1] == L':')) return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

// Copies `source` to `staging` and makes the bytes durable before anything else happens.
bool CopyInFull(const std::wstring& source, const std::wstring& staging) {
    if (!CopyFileW(source.c_str(), staging.c_str(), FALSE)) return false;
    HANDLE file = CreateFileW(staging.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool flushed = FlushFileBuffers(file);
    CloseHandle(file);
    return flushed;
}

}  // namespace

std::wstring NewTempFile() {
    wchar_t folder[MAX_PATH], name[MAX_PATH];
    const DWORD n = GetTempPathW(MAX_PATH, folder);
    if (n == 0 || n >= MAX_PATH || !GetTempFileNameW(folder, L"tmp", 0, name)) return {};
    return name;
}

bool ReplaceFileFrom(const std::wstring& source, const std::wstring& destination, bool recycleOld) {
    const DWORD old = GetFileAttributesW(destination.c_str());
    const bool exists = old != INVALID_FILE_ATTRIBUTES;
    if (exists && (old & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) return false;

    wchar_t staging[MAX_PATH];
    if (!GetTempFileNameW(FolderOf(destination).c_str(), L"~pe", 0, staging)) return false;
    if (!CopyInFull(source, staging)) {
        DeleteFileW(staging);
        return false;
    }
    // The old version stays restorable from the recycle bin; when it cannot go there, the
    // rename below replaces it all the same.
    if (exists && recycleOld) MoveToRecycleBin(destination, false);
    if (!MoveFileExW(staging, destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(staging);
        return false;
    }
    const DWORD kept = exists ? old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) : 0;
    if (kept) SetFileAttributesW(destination.c_str(), kept);
    return true;
}

}  // namespace pelio
