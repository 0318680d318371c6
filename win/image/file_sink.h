// An encoder's output to a file, written in large blocks. Win32.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "core/image/byte_io.h"

namespace pelio {

class FileSink final : public ByteSink {
public:
    FileSink() = default;
    ~FileSink();
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    // Creates (or truncates) the file for writing, no sharing.
    bool Create(const std::wstring& path);
    bool Write(const void* data, size_t size) override;
    // Flushes and closes; false when any write failed.
    bool Close();

private:
    bool Flush();
    bool WriteRaw(const uint8_t* data, size_t size);
    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::vector<uint8_t> buffer_;
    bool failed_ = false;
};

}  // namespace pelio
