// Read-only file mapping. Win32.
#include "win/image/mapped_file.h"

namespace pelio {

bool MappedFile::Open(const std::wstring& path) {
    Close();
    file_ = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    FILETIME written{};
    if (!GetFileSizeEx(file_, &size) || !GetFileTime(file_, nullptr, nullptr, &written) ||
        size.QuadPart > static_cast<LONGLONG>(SIZE_MAX / 2)) {
        Close();
        return false;
    }
    writeTime_ = uint64_t{written.dwLowDateTime} | uint64_t{written.dwHighDateTime} << 32;
    size_ = static_cast<size_t>(size.QuadPart);
    if (size_ == 0) return true;  // nothing to map
    mapping_ = CreateFileMappingW(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping_) view_ = static_cast<const uint8_t*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0));
    if (!view_) {
        Close();
        return false;
    }
    return true;
}

void MappedFile::Close() {
    if (view_) UnmapViewOfFile(view_);
    if (mapping_) CloseHandle(mapping_);
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    view_ = nullptr;
    mapping_ = nullptr;
    file_ = INVALID_HANDLE_VALUE;
    size_ = 0;
}

}  // namespace pelio
