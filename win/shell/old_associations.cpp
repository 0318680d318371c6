// Removal of the earlier association layout. Win32.
#include "win/shell/old_associations.h"

#include <string>

#include "core/commands/shell_integration.h"
#include "win/base/app_state.h"
#include "win/shell/registry_key.h"

namespace pelio {

namespace {

constexpr wchar_t kOldVerb[] = L"pelio";
constexpr wchar_t kPreviewHandlerKey[] = L"SystemFileAssociations\\image\\ShellEx\\ContextMenuHandlers\\ShellImagePreview";
constexpr wchar_t kBackupValue[] = L"backup";

// The "shell" key of an extension's class; empty when the extension has no class.
RegistryKey ClassShellKey(const wchar_t* extension, REGSAM access) {
    const std::wstring cls = RegistryKey::Open(HKEY_CLASSES_ROOT, extension).ReadString(nullptr).value_or(L"");
    if (cls.empty()) return {};
    return RegistryKey::Open(HKEY_CLASSES_ROOT, cls + L"\\shell", access);
}

}  // namespace

bool HasOldAssociations() {
    for (const wchar_t* extension : AssociationExtensions()) {
        const RegistryKey shell = ClassShellKey(extension, KEY_READ);
        if (shell && (shell.ReadString(nullptr) == kOldVerb || shell.HasSubkey(kOldVerb))) return true;
    }
    return false;
}

void RemoveOldAssociations() {
    App().settings.app.xpOldReg = true;
    bool hadOldDefault = false;
    for (const wchar_t* extension : AssociationExtensions()) {
        const RegistryKey shell = ClassShellKey(extension, KEY_READ | KEY_WRITE);
        if (!shell) continue;
        // Only a default verb of ours is put back; another program's choice stays.
        if (shell.ReadString(nullptr) == kOldVerb) {
            hadOldDefault = true;
            shell.WriteString(nullptr, L"open");
        }
        shell.DeleteSubtree(kOldVerb);
    }
    if (!hadOldDefault) return;
    const RegistryKey handler = RegistryKey::Open(HKEY_CLASSES_ROOT, kPreviewHandlerKey, KEY_READ | KEY_WRITE);
    if (const auto backup = handler.ReadString(kBackupValue)) {
        // The saved value goes only once it is back in place.
        if (handler.WriteString(nullptr, *backup)) handler.DeleteValue(kBackupValue);
    }
}

}  // namespace pelio
