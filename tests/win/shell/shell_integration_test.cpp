// Registered tools, file associations, the earlier layout's removal and the Send To shortcut,
// on the real registry and shell folders of the Wine prefix.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlwapi.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/commands/command_ids.h"
#include "core/commands/command_table.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/message_box_answerer.h"
#include "tests/support/sample_image.h"
#include "tests/support/win_test_files.h"
#include "win/base/app_state.h"
#include "win/base/menus.h"
#include "win/base/paths.h"
#include "win/image/current_image.h"
#include "win/image/load_dispatch.h"
#include "win/shell/file_associations.h"
#include "win/shell/old_associations.h"
#include "win/shell/registry_key.h"
#include "win/shell/run_tool.h"
#include "win/shell/send_to.h"
#include "win/shell/shortcuts.h"

namespace pelio {
namespace {

using test::TempFolder;

// Puts a key back as it was: removed from its first missing parent on when it did not
// exist, otherwise the named values restored (L"" is the default value).
class KeyRestorer {
public:
    KeyRestorer(HKEY root, const std::wstring& path, std::vector<std::wstring> values)
        : root_(root), path_(path), values_(std::move(values)) {
        for (size_t end = 0; end != std::wstring::npos;) {
            end = path.find(L'\\', end + 1);
            const std::wstring prefix = path.substr(0, end);
            if (!RegistryKey::Open(root, prefix)) {
                missingFrom_ = prefix;
                return;
            }
        }
        const RegistryKey key = RegistryKey::Open(root, path);
        for (const std::wstring& name : values_) {
            Saved saved;
            DWORD size = 0;
            if (RegQueryValueExW(key.Handle(), name.c_str(), nullptr, &saved.type, nullptr, &size) == ERROR_SUCCESS) {
                saved.bytes.resize(size);
                RegQueryValueExW(key.Handle(), name.c_str(), nullptr, &saved.type, saved.bytes.data(), &size);
                saved.exists = true;
            }
            saved_.push_back(saved);
        }
    }
    ~KeyRestorer() {
        if (!missingFrom_.empty()) {
            SHDeleteKeyW(root_, missingFrom_.c_str());
            return;
        }
        const RegistryKey key = RegistryKey::Open(root_, path_, KEY_READ | KEY_WRITE);
        for (size_t i = 0; i < values_.size(); ++i) {
            if (saved_[i].exists)
                RegSetValueExW(key.Handle(), values_[i].c_str(), 0, saved_[i].type, saved_[i].bytes.data(),
                               static_cast<DWORD>(saved_[i].bytes.size()));
            else
                RegDeleteValueW(key.Handle(), values_[i].c_str());
        }
    }
    KeyRestorer(const KeyRestorer&) = delete;
    KeyRestorer& operator=(const KeyRestorer&) = delete;

private:
    struct Saved {
        bool exists = false;
        DWORD type = 0;
        std::vector<BYTE> bytes;
    };
    HKEY root_;
    std::wstring path_, missingFrom_;
    std::vector<std::wstring> values_;
    std::vector<Saved> saved_;
};

const std::wstring kFileExts = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
const std::wstring kOpenCommandKey = L"Software\\Classes\\Applications\\Pelio.exe\\shell\\open\\command";

std::optional<std::wstring> UserValue(const std::wstring& path, const wchar_t* name) {
    return RegistryKey::Open(HKEY_CURRENT_USER, path).ReadString(name);
}
std::optional<std::wstring> ApplicationOf(const wchar_t* extension) {
    return UserValue(kFileExts + extension, L"Application");
}
void SetUserValue(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    ASSERT_TRUE(RegistryKey::Create(HKEY_CURRENT_USER, path).WriteString(name, value));
}

// Tests that change the shared application state put it back.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        saved_ = App().settings;
        savedGeneration_ = App().osGeneration;
        App().settings = Settings{};
        App().osGeneration = 1;
        ReleaseCurrentImage();
    }
    void TearDown() override {
        ReleaseCurrentImage();
        App().settings = saved_;
        App().osGeneration = savedGeneration_;
        CoUninitialize();
    }
    TempFolder dir_;

private:
    Settings saved_;
    int savedGeneration_ = 0;
};

// Identifiers and states of the tools submenu, item by item.
std::vector<int> ToolsMenuIds(std::vector<bool>* greyed = nullptr) {
    HMENU tools = SubmenuHandle(cmd::kToolsSubmenu);
    std::vector<int> ids;
    for (int i = 0; i < GetMenuItemCount(tools); ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE;
        GetMenuItemInfoW(tools, i, TRUE, &info);
        EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
        ids.push_back(static_cast<int>(info.wID));
        if (greyed) greyed->push_back(info.fState & MFS_DISABLED);
    }
    return ids;
}

TEST_F(ShellTest, ToolsMenuFollowsTheRegisteredTools) {
    App().iniPath = dir_ / L"Pelio.ini";
    BuildMenus();
    std::vector<bool> greyed;
    EXPECT_EQ(ToolsMenuIds(&greyed), (std::vector<int>{kNoToolsId, kSeparatorId, cmd::kOptions}));
    EXPECT_TRUE(greyed[0]);

    PathSettings& path = App().settings.path;
    path.app[0] = L"C:\\a.exe";
    path.app[2] = L"C:\\c.exe";
    path.app[7] = L"C:\\h.exe";
    RebuildToolsMenu();
    greyed.clear();
    EXPECT_EQ(ToolsMenuIds(&greyed),
              (std::vector<int>{cmd::kTool1, cmd::kTool1 + 2, cmd::kTool8, kSeparatorId, cmd::kOptions}));
    EXPECT_FALSE(greyed[0] || greyed[1] || greyed[2]);

    path.app[0].clear();
    RebuildToolsMenu();
    EXPECT_EQ(ToolsMenuIds(), (std::vector<int>{cmd::kTool1 + 2, cmd::kTool8, kSeparatorId, cmd::kOptions}));
    path = PathSettings{};
    RebuildToolsMenu();
    EXPECT_EQ(ToolsMenuIds(), (std::vector<int>{kNoToolsId, kSeparatorId, cmd::kOptions}));
    SaveAccelerators();
}

TEST_F(ShellTest, RunToolPassesTheImagePathAndReportsFailure) {
    const std::wstring echo = e2e::WindowsPathOf(PELIO_TEST_ECHO_ARGS);
    const std::wstring output = dir_ / L"args.txt";
    SetEnvironmentVariableW(L"PELIO_ECHO_FILE", output.c_str());
    App().settings.path.app[3] = echo;
    const auto run = [&] {
        DeleteFileW(output.c_str());
        EXPECT_TRUE(RunTool(3));
        EXPECT_TRUE(e2e::Eventually([&] { return test::PathExists(output); }));
        return test::ReadTextFile(output);
    };

    const std::wstring image = dir_ / L"my picture.bmp";
    test::WriteBytes(image, test::SampleBmpFile(4, 3, 24, 2835));
    ASSERT_TRUE(LoadImageFile(image));
    App().settings.app.top = true;
    EXPECT_EQ(run(), L"\"" + image + L"\"");
    EXPECT_FALSE(App().settings.app.top);  // the tool is not hidden behind a topmost window

    ReleaseCurrentImage();
    EXPECT_EQ(run(), L"");

    App().settings.path.app[5] = dir_ / L"missing.exe";
    test::MessageBoxAnswerer answer;
    EXPECT_FALSE(RunTool(5));
    EXPECT_EQ(answer.Text(), L"ファイル実行に失敗しました。");
    EXPECT_FALSE(RunTool(6));  // not registered: nothing runs, nothing is shown
    SetEnvironmentVariableW(L"PELIO_ECHO_FILE", nullptr);
}

class Associations : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        for (const wchar_t* extension : AssociationExtensions())
            restorers_.emplace_back(new KeyRestorer(HKEY_CURRENT_USER, kFileExts + extension, {L"Application"}));
        restorers_.emplace_back(new KeyRestorer(HKEY_CURRENT_USER, kOpenCommandKey, {L""}));
    }
    void TearDown() override {
        restorers_.clear();
        ShellTest::TearDown();
    }
    std::vector<std::unique_ptr<KeyRestorer>> restorers_;
};

TEST_F(Associations, TickingAndClearingTypes) {
    const std::wstring program = ExecutablePath();
    // A value of another type reads as absent and is replaced when its type is ticked.
    DWORD number = 1;
    RegSetValueExW(RegistryKey::Create(HKEY_CURRENT_USER, kFileExts + L".bmp").Handle(), L"Application", 0,
                   REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);

    AssociationState state = ReadAssociations();
    EXPECT_TRUE(state.enabled);
    state.checked[kFileTypePng] = state.checked[kFileTypeJpeg] = true;
    ApplyAssociations(state);
    for (const wchar_t* extension : {L".png", L".jpg", L".jpe", L".jpeg"})
        EXPECT_EQ(ApplicationOf(extension), L"Pelio.exe") << extension;
    EXPECT_EQ(ApplicationOf(L".gif"), std::nullopt);
    EXPECT_EQ(UserValue(kOpenCommandKey, nullptr), OpenCommand(program));
    EXPECT_EQ(state.initial, state.checked);

    state = ReadAssociations();
    EXPECT_EQ(state.checked, (std::array<bool, kFileTypeCount>{false, true, true, false, false}));
    EXPECT_EQ(state.initial, state.checked);

    // Clearing JPEG removes only the values that name this program.
    SetUserValue(kFileExts + L".jpe", L"Application", L"other.exe");
    SetUserValue(kFileExts + L".jpeg", L"Application", program);
    state.checked[kFileTypeJpeg] = false;
    state.checked[kFileTypeBmp] = true;
    ApplyAssociations(state);
    EXPECT_EQ(ApplicationOf(L".jpg"), std::nullopt);
    EXPECT_EQ(ApplicationOf(L".jpe"), L"other.exe");
    EXPECT_EQ(ApplicationOf(L".jpeg"), std::nullopt);
    EXPECT_EQ(ApplicationOf(L".png"), L"Pelio.exe");  // unchanged types are not touched
    EXPECT_EQ(ApplicationOf(L".bmp"), L"Pelio.exe");

    state.checked = {};
    ApplyAssociations(state);
    EXPECT_EQ(ApplicationOf(L".png"), std::nullopt);
    EXPECT_EQ(UserValue(kOpenCommandKey, nullptr), OpenCommand(program));  // the command stays

    // A command naming another program leaves every box clear; newer systems read nothing.
    SetUserValue(kFileExts + L".gif", L"Application", L"Pelio.exe");
    EXPECT_TRUE(ReadAssociations().checked[kFileTypeGif]);
    SetUserValue(kOpenCommandKey, nullptr, L"\"C:\\Other Place\\Pelio.exe\" \"%1\"");
    EXPECT_EQ(ReadAssociations().checked, (std::array<bool, kFileTypeCount>{}));
    state.checked[kFileTypeTiff] = true;
    ApplyAssociations(state);
    EXPECT_EQ(UserValue(kOpenCommandKey, nullptr), OpenCommand(program));  // rewritten to name us
    App().osGeneration = 2;
    state = ReadAssociations();
    EXPECT_FALSE(state.enabled || state.showOldRemoval);
    EXPECT_EQ(state.checked, (std::array<bool, kFileTypeCount>{}));
}

TEST_F(Associations, RemovingTheEarlierLayout) {
    const std::wstring handler = L"SystemFileAssociations\\image\\ShellEx\\ContextMenuHandlers\\ShellImagePreview";
    KeyRestorer png(HKEY_CLASSES_ROOT, L".png", {L""});
    KeyRestorer gif(HKEY_CLASSES_ROOT, L".gif", {L""});
    KeyRestorer pngClass(HKEY_CLASSES_ROOT, L"PelioTest.png", {});
    KeyRestorer gifClass(HKEY_CLASSES_ROOT, L"PelioTest.gif", {});
    KeyRestorer preview(HKEY_CLASSES_ROOT, handler, {L"", L"backup"});
    const auto classes = [](const std::wstring& path) { return RegistryKey::Create(HKEY_CLASSES_ROOT, path); };
    ASSERT_TRUE(classes(L".png").WriteString(nullptr, L"PelioTest.png"));
    ASSERT_TRUE(classes(L".gif").WriteString(nullptr, L"PelioTest.gif"));
    // PNG's class has the verb as its default; GIF's only carries the verb.
    ASSERT_TRUE(classes(L"PelioTest.png\\shell").WriteString(nullptr, L"pelio"));
    ASSERT_TRUE(classes(L"PelioTest.png\\shell\\pelio\\command").WriteString(nullptr, L"x.exe \"%1\""));
    ASSERT_TRUE(classes(L"PelioTest.gif\\shell").WriteString(nullptr, L"edit"));
    ASSERT_TRUE(classes(L"PelioTest.gif\\shell\\pelio\\command").WriteString(nullptr, L"x.exe \"%1\""));
    ASSERT_TRUE(classes(handler).WriteString(nullptr, L"{replaced}"));
    ASSERT_TRUE(classes(handler).WriteString(L"backup", L"{saved}"));

    EXPECT_TRUE(HasOldAssociations());
    EXPECT_TRUE(ReadAssociations().showOldRemoval);
    App().settings.app.xpOldReg = true;
    EXPECT_FALSE(ReadAssociations().showOldRemoval);
    App().settings.app.xpOldReg = false;

    RemoveOldAssociations();
    EXPECT_TRUE(App().settings.app.xpOldReg);
    const auto value = [](const std::wstring& path, const wchar_t* name) {
        return RegistryKey::Open(HKEY_CLASSES_ROOT, path).ReadString(name);
    };
    EXPECT_EQ(value(L"PelioTest.png\\shell", nullptr), L"open");
    EXPECT_EQ(value(L"PelioTest.gif\\shell", nullptr), L"edit");  // another program's default stays
    EXPECT_FALSE(RegistryKey::Open(HKEY_CLASSES_ROOT, L"PelioTest.png\\shell\\pelio"));
    EXPECT_FALSE(RegistryKey::Open(HKEY_CLASSES_ROOT, L"PelioTest.gif\\shell\\pelio"));
    EXPECT_EQ(value(handler, nullptr), L"{saved}");
    EXPECT_EQ(value(handler, L"backup"), std::nullopt);
    EXPECT_FALSE(HasOldAssociations());
    EXPECT_FALSE(ReadAssociations().showOldRemoval);
}

TEST_F(ShellTest, SendToShortcutIsMadeAndRemoved) {
    const std::wstring link = SendToShortcutPath();
    ASSERT_FALSE(link.empty());
    DeleteFileW(link.c_str());
    SendToState state = ReadSendTo();
    EXPECT_FALSE(state.checked || state.initial);

    state.checked = true;
    ApplySendTo(state);
    EXPECT_TRUE(state.initial);
    ASSERT_TRUE(SendToShortcutExists());
    EXPECT_TRUE(IsShortcut(link));
    EXPECT_EQ(ResolveShortcut(link), ExecutablePath());
    state = ReadSendTo();
    EXPECT_TRUE(state.checked && state.initial);

    state.checked = false;
    ApplySendTo(state);
    EXPECT_FALSE(SendToShortcutExists());
    // Unchanged since the page opened: nothing is made even though the file is gone.
    state = {true, true};
    ApplySendTo(state);
    EXPECT_FALSE(SendToShortcutExists());
    DeleteFileW(link.c_str());
}

}  // namespace
}  // namespace pelio
