// Per-user file associations. Win32.
#include "win/shell/file_associations.h"

#include <string>

#include "win/base/app_state.h"
#include "win/base/paths.h"
#include "win/shell/old_associations.h"
#include "win/shell/registry_key.h"

namespace pelio {

namespace {

constexpr wchar_t kApplicationValue[] = L"Application";

std::wstring FileExtsKey(const wchar_t* extension) {
    return std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\") + extension;
}

std::wstring ApplicationsCommandKey() {
    return std::wstring(L"Software\\Classes\\Applications\\") + kExecutableFileName + L"\\shell\\open\\command";
}

void ChooseProgram(const wchar_t* extension) {
    const RegistryKey key = RegistryKey::Create(HKEY_CURRENT_USER, FileExtsKey(extension));
    if (key && key.ReadString(kApplicationValue) != kExecutableFileName)
        key.WriteString(kApplicationValue, kExecutableFileName);
}

void UnchooseProgram(const wchar_t* extension, const std::wstring& program) {
    const RegistryKey key = RegistryKey::Open(HKEY_CURRENT_USER, FileExtsKey(extension), KEY_READ | KEY_WRITE);
    const auto value = key.ReadString(kApplicationValue);
    if (value && ApplicationNamesProgram(*value, program)) key.DeleteValue(kApplicationValue);
}

void RegisterOpenCommand(const std::wstring& program) {
    const RegistryKey key = RegistryKey::Create(HKEY_CURRENT_USER, ApplicationsCommandKey());
    if (key && !CommandNamesProgram(key.ReadString(nullptr).value_or(L""), program))
        key.WriteString(nullptr, OpenCommand(program));
}

}  // namespace

AssociationState ReadAssociations() {
    AssociationState state;
    const AppState& app = App();
    if (app.osGeneration >= 2) return state;
    state.enabled = true;
    state.showOldRemoval = !app.settings.app.xpOldReg && HasOldAssociations();
    const std::wstring command =
        RegistryKey::Open(HKEY_CURRENT_USER, ApplicationsCommandKey()).ReadString(nullptr).value_or(L"");
    if (CommandNamesProgram(command, ExecutablePath())) {
        for (int type = 0; type < kFileTypeCount; ++type) {
            const RegistryKey key = RegistryKey::Open(HKEY_CURRENT_USER, FileExtsKey(FileTypeExtensions(type)[0]));
            state.checked[type] = key.ReadString(kApplicationValue) == kExecutableFileName;
        }
    }
    state.initial = state.checked;
    return state;
}

void ApplyAssociations(AssociationState& state) {
    const std::wstring program = ExecutablePath();
    bool ticked = false;
    for (int type = 0; type < kFileTypeCount; ++type) {
        if (state.checked[type] == state.initial[type]) continue;
        state.initial[type] = state.checked[type];
        for (const wchar_t* extension : FileTypeExtensions(type)) {
            if (state.checked[type]) ChooseProgram(extension);
            else UnchooseProgram(extension, program);
        }
        ticked |= state.checked[type];
    }
    if (ticked) RegisterOpenCommand(program);
}

}  // namespace pelio
