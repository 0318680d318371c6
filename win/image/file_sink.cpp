// Buffered file output. Win32.
#include "win/image/file_sink.h"

#include <cstring>

namespace pelio {

namespace {
constexpr size_t kBufferSize = 1 << 20;
}

FileSink::~FileSink() { Close(); }

bool FileSink::Create(const std::wstring& path) {
    file_ = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
    buffer_.reserve(kBufferSize);
    failed_ = file_ == INVALID_HANDLE_VALUE;
    return !failed_;
}

bool FileSink::WriteRaw(const uint8_t* p, size_t left) {
    while (left > 0 && !failed_) {
        DWORD put = 0;
        DWORD chunk = static_cast<DWORD>(left > 0x40000000 ? 0x40000000 : left);
        if (!WriteFile(file_, p, chunk, &put, nullptr) || put == 0) failed_ = true;
        p += put;
        left -= put;
    }
    return !failed_;
}

bool FileSink::Flush() {
    bool ok = WriteRaw(buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok;
}

bool FileSink::Write(const void* data, size_t size) {
    if (failed_ || file_ == INVALID_HANDLE_VALUE) return false;
    const auto* p = static_cast<const uint8_t*>(data);
    if (buffer_.size() + size > kBufferSize && !Flush()) return false;
    if (size >= kBufferSize) return WriteRaw(p, size);
    buffer_.insert(buffer_.end(), p, p + size);
    return true;
}

bool FileSink::Close() {
    if (file_ == INVALID_HANDLE_VALUE) return !failed_;
    Flush();
    if (!CloseHandle(file_)) failed_ = true;
    file_ = INVALID_HANDLE_VALUE;
    return !failed_;
}

}  // namespace pelio
