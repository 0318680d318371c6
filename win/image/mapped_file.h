// A file mapped read-only into memory. Win32.
#pragma once
#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

namespace pelio {

class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile() { Close(); }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // False when the file cannot be opened or mapped. An empty file opens with no bytes.
    bool Open(const std::wstring& path);
    void Close();

    std::span<const uint8_t> Bytes() const { return {view_, size_}; }
    // Last-write time: low 32 bits, then high 32 bits.
    uint64_t LastWriteTime() const { return writeTime_; }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mapping_ = nullptr;
    const uint8_t* view_ = nullptr;
    size_t size_ = 0;
    uint64_t writeTime_ = 0;
};

}  // namespace pelio
