// A stand-in for a registered tool: writes the arguments of its command line, as they were
// written, to the file named by PELIO_ECHO_FILE (UTF-16 with a byte-order mark). Win32.
#include <windows.h>

#include <string>

int main() {
    const wchar_t* line = GetCommandLineW();
    bool quoted = false;
    for (; *line && (quoted || (*line != L' ' && *line != L'\t')); ++line)
        if (*line == L'"') quoted = !quoted;
    while (*line == L' ' || *line == L'\t') ++line;
    std::wstring text = line;
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.pop_back();

    wchar_t target[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(L"PELIO_ECHO_FILE", target, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 2;
    // Written aside and renamed, so the file appears complete.
    const std::wstring part = std::wstring(target) + L".part";
    HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    text.insert(text.begin(), wchar_t{0xFEFF});
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return ok && MoveFileExW(part.c_str(), target, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
