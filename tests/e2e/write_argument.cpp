// A stand-in for a user's registered tool: writes the arguments it was started with, exactly
// as they came, to "argument.txt" beside itself (UTF-16 with a byte-order mark).
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder = self;
    folder.resize(folder.find_last_of(L'\\') + 1);
    const std::wstring text = L"\xFEFF" + std::wstring(arguments);
    // Written aside and renamed, so a reader never sees half of it.
    const std::wstring part = folder + L"argument.part", done = folder + L"argument.txt";
    HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), DWORD(text.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return ok && MoveFileExW(part.c_str(), done.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
