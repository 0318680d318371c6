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
#include <tuple>
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

// Puts a key back as it was: deleted from its first missing parent on, or its string
// values (L"" the default) restored.
class KeyRestorer {
public:
    KeyRestorer(HKEY root, std::wstring path, std::vector<std::wstring> names)
        : root_(root), path_(std::move(path)), names_(std::move(names)) {
        for (size_t end = 0; end != std::wstring::npos && missingFrom_.empty();) {
            end = path_.find(L'\\', end + 1);
            if (!RegistryKey::Open(root, path_.substr(0, end))) missingFrom_ = path_.substr(0, end);
        }
        for (const std::wstring& name : names_) values_.push_back(RegistryKey::Open(root, path_).ReadString(name.c_str()));
    }
    ~KeyRestorer() {
        if (!missingFrom_.empty()) {
            SHDeleteKeyW(root_, missingFrom_.c_str());
            return;
        }
        const RegistryKey key = RegistryKey::Open(root_, path_, KEY_READ | KEY_WRITE);
        for (size_t i = 0; i < names_.size(); ++i) {
            if (values_[i]) key.WriteString(names_[i].c_str(), *values_[i]);
            else key.DeleteValue(names_[i].c_str());
        }
    }

private:
    HKEY root_;
    std::wstring path_, missingFrom_;
    std::vector<std::wstring> names_;
    std::vector<std::optional<std::wstring>> values_;
};

const std::wstring kFileExts = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
const std::wstring kOpenCommandKey = L"Software\\Classes\\Applications\\Pelio.exe\\shell\\open\\command";
using Checks = std::array<bool, kFileTypeCount>;

std::optional<std::wstring> Value(HKEY root, const std::wstring& path, const wchar_t* name) {
    return RegistryKey::Open(root, path).ReadString(name);
}
std::optional<std::wstring> ApplicationOf(const wchar_t* extension) {
    return Value(HKEY_CURRENT_USER, kFileExts + extension, L"Application");
}
bool SetValue(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    return RegistryKey::Create(root, path).WriteString(name, value);
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        generation_ = App().osGeneration;
        App().settings = Settings{};
        App().osGeneration = 1;
        ReleaseCurrentImage();
    }
    void TearDown() override {
        ReleaseCurrentImage();
        App().settings = Settings{};
        App().osGeneration = generation_;
        CoUninitialize();
    }
    test::TempFolder dir_;
    int generation_ = 0;
};

std::vector<int> ToolsMenuIds() {
    HMENU tools = SubmenuHandle(cmd::kToolsSubmenu);
    std::vector<int> ids;
    for (int i = 0; i < GetMenuItemCount(tools); ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE;
        GetMenuItemInfoW(tools, i, TRUE, &info);
        EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
        // Only the "<未登録>" item is greyed.
        EXPECT_EQ((info.fState & MFS_DISABLED) != 0, info.wID == kNoToolsId);
        ids.push_back(static_cast<int>(info.wID));
    }
    return ids;
}

TEST_F(ShellTest, ToolsMenuFollowsTheRegisteredTools) {
    App().iniPath = dir_ / L"Pelio.ini";
    BuildMenus();
    EXPECT_EQ(ToolsMenuIds(), (std::vector<int>{kNoToolsId, kSeparatorId, cmd::kOptions}));
    PathSettings& path = App().settings.path;
    path.app[0] = path.app[2] = path.app[7] = L"C:\\tool.exe";
    RebuildToolsMenu();
    EXPECT_EQ(ToolsMenuIds(), (std::vector<int>{cmd::kTool1, cmd::kTool1 + 2, cmd::kTool8, kSeparatorId, cmd::kOptions}));
    path.app[0].clear();
    RebuildToolsMenu();
    EXPECT_EQ(ToolsMenuIds(), (std::vector<int>{cmd::kTool1 + 2, cmd::kTool8, kSeparatorId, cmd::kOptions}));
    path = PathSettings{};
    RebuildToolsMenu();
    EXPECT_EQ(ToolsMenuIds(), (std::vector<int>{kNoToolsId, kSeparatorId, cmd::kOptions}));
    SaveAccelerators();
}

TEST_F(ShellTest, RunToolPassesTheImagePathAndReportsFailure) {
    const std::wstring output = dir_ / L"args.txt";
    SetEnvironmentVariableW(L"PELIO_ECHO_FILE", output.c_str());
    App().settings.path.app[3] = e2e::WindowsPathOf(PELIO_TEST_ECHO_ARGS);
    const auto run = [&] {
        DeleteFileW(output.c_str());
        EXPECT_TRUE(RunTool(3));
        EXPECT_TRUE(e2e::Eventually([&] { return test::PathExists(output); }));
        return test::ReadTextFile(output);
    };
    const std::wstring image = dir_ / L"my picture.bmp";
    test::WriteBytes(image, test::SampleBmpFile(4, 3));
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

TEST_F(ShellTest, TickingAndClearingTypes) {
    std::vector<std::unique_ptr<KeyRestorer>> restore;
    for (const wchar_t* extension : AssociationExtensions())
        restore.emplace_back(new KeyRestorer(HKEY_CURRENT_USER, kFileExts + extension, {L"Application"}));
    KeyRestorer command(HKEY_CURRENT_USER, kOpenCommandKey, {L""});
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
    EXPECT_EQ(Value(HKEY_CURRENT_USER, kOpenCommandKey, nullptr), OpenCommand(program));
    state = ReadAssociations();
    EXPECT_EQ(state.checked, (Checks{false, true, true, false, false}));
    EXPECT_EQ(state.initial, state.checked);

    // Clearing JPEG removes only the values that name this program; PNG is left alone.
    SetValue(HKEY_CURRENT_USER, kFileExts + L".jpe", L"Application", L"other.exe");
    SetValue(HKEY_CURRENT_USER, kFileExts + L".jpeg", L"Application", program);
    state.checked[kFileTypeJpeg] = false;
    state.checked[kFileTypeBmp] = true;
    ApplyAssociations(state);
    EXPECT_EQ(state.initial, state.checked);
    EXPECT_EQ(ApplicationOf(L".jpg"), std::nullopt);
    EXPECT_EQ(ApplicationOf(L".jpe"), L"other.exe");
    EXPECT_EQ(ApplicationOf(L".jpeg"), std::nullopt);
    EXPECT_EQ(ApplicationOf(L".png"), L"Pelio.exe");
    EXPECT_EQ(ApplicationOf(L".bmp"), L"Pelio.exe");
    state.checked = {};
    ApplyAssociations(state);
    EXPECT_EQ(ApplicationOf(L".png"), std::nullopt);
    EXPECT_EQ(Value(HKEY_CURRENT_USER, kOpenCommandKey, nullptr), OpenCommand(program));  // the command stays

    // A command naming another program leaves every box clear, and is rewritten on a tick.
    SetValue(HKEY_CURRENT_USER, kFileExts + L".gif", L"Application", L"Pelio.exe");
    EXPECT_EQ(ReadAssociations().checked, (Checks{false, false, false, true, false}));
    SetValue(HKEY_CURRENT_USER, kOpenCommandKey, nullptr, L"\"C:\\Other Place\\Pelio.exe\" \"%1\"");
    EXPECT_EQ(ReadAssociations().checked, Checks{});
    state.checked[kFileTypeTiff] = true;
    ApplyAssociations(state);
    EXPECT_EQ(Value(HKEY_CURRENT_USER, kOpenCommandKey, nullptr), OpenCommand(program));
    // Newer systems: disabled, clear, nothing read.
    App().osGeneration = 2;
    state = ReadAssociations();
    EXPECT_FALSE(state.enabled || state.showOldRemoval);
    EXPECT_EQ(state.checked, Checks{});
}

TEST_F(ShellTest, RemovingTheEarlierLayout) {
    const std::wstring handler = L"SystemFileAssociations\\image\\ShellEx\\ContextMenuHandlers\\ShellImagePreview";
    KeyRestorer png(HKEY_CLASSES_ROOT, L".png", {L""}), gif(HKEY_CLASSES_ROOT, L".gif", {L""});
    KeyRestorer pngClass(HKEY_CLASSES_ROOT, L"PelioTest.png", {}), gifClass(HKEY_CLASSES_ROOT, L"PelioTest.gif", {});
    KeyRestorer preview(HKEY_CLASSES_ROOT, handler, {L"", L"backup"});
    // PNG's class has the verb as its default; GIF's only carries it.
    for (const auto& [path, name, value] : std::initializer_list<std::tuple<std::wstring, const wchar_t*, std::wstring>>{
             {L".png", nullptr, L"PelioTest.png"}, {L".gif", nullptr, L"PelioTest.gif"},
             {L"PelioTest.png\\shell", nullptr, L"pelio"}, {L"PelioTest.png\\shell\\pelio\\command", nullptr, L"x"},
             {L"PelioTest.gif\\shell", nullptr, L"edit"}, {L"PelioTest.gif\\shell\\pelio\\command", nullptr, L"x"},
             {handler, nullptr, L"{replaced}"}, {handler, L"backup", L"{saved}"}})
        ASSERT_TRUE(SetValue(HKEY_CLASSES_ROOT, path, name, value)) << path;

    EXPECT_TRUE(ReadAssociations().showOldRemoval);
    App().settings.app.xpOldReg = true;
    EXPECT_FALSE(ReadAssociations().showOldRemoval);
    App().settings.app.xpOldReg = false;

    RemoveOldAssociations();
    EXPECT_TRUE(App().settings.app.xpOldReg);
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, L"PelioTest.png\\shell", nullptr), L"open");
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, L"PelioTest.gif\\shell", nullptr), L"edit");  // another program's choice
    EXPECT_FALSE(RegistryKey::Open(HKEY_CLASSES_ROOT, L"PelioTest.png\\shell\\pelio"));
    EXPECT_FALSE(RegistryKey::Open(HKEY_CLASSES_ROOT, L"PelioTest.gif\\shell\\pelio"));
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, handler, nullptr), L"{saved}");
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, handler, L"backup"), std::nullopt);
    EXPECT_FALSE(HasOldAssociations());
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
    EXPECT_EQ(ResolveShortcut(link), ExecutablePath());
    state = ReadSendTo();
    EXPECT_TRUE(state.checked && state.initial);
    state.checked = false;
    ApplySendTo(state);
    EXPECT_FALSE(SendToShortcutExists());
    // Unchanged since the page opened: nothing is made, though the file is gone.
    state = {true, true};
    ApplySendTo(state);
    EXPECT_FALSE(SendToShortcutExists());
}

}  // namespace
}  // namespace pelio
