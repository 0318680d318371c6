// Files and folders for the Windows tests. Win32.
#pragma once
#include <cstdint>
#include <cstdint>
#include <string>
#include <vector>
#include <vector>

namespace pelio::test {

// A new empty folder under the system temporary folder, removed with its files on destruction.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// A file's text: UTF-16 with a byte-order mark, else the ANSI code page.
std::wstring ReadTextFile(const std::wstring& path);
void WriteTextFile(const std::wstring& path, const std::wstring& text);  // UTF-16 with BOM
void WriteBinaryFile(const std::wstring& path, const std::vector<uint8_t>& bytes);
// A BMP of the sample picture (tests/support/sample_image.h).
void WriteSampleBmp(const std::wstring& path, int w, int h, int depth);
bool PathExists(const std::wstring& path);
// A file's bytes (empty when it cannot be read), and a file written from bytes.
std::vector<uint8_t> ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes);
// Removes a folder and everything in it.
void RemoveTree(const std::wstring& path);
// Whether the shell's recycle bin lists an item of that name.
bool RecycleBinHolds(const std::wstring& name);
// <AppData> of the current user.
std::wstring AppDataFolder();

}  // namespace pelio::test
