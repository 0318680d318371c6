// The settings file through the real private-profile functions.
#include <gtest/gtest.h>

#include <windows.h>

#include "core/commands/accelerators.h"
#include "core/commands/command_ids.h"
#include "core/settings/memory_profile.h"
#include "core/settings/settings.h"
#include "tests/support/win_test_files.h"
#include "win/base/ini_store.h"

namespace pelio {
namespace {

using test::TempFolder;

std::vector<std::wstring> SectionNames(const std::wstring& path) {
    MemoryProfile p(test::ReadTextFile(path));
    std::vector<std::wstring> names;
    for (const auto& s : p.Sections()) names.push_back(s.name);
    return names;
}

TEST(IniStore, IntegersParseAsTheProfileFunctionsDo) {
    TempFolder dir;
    std::wstring ini = dir / L"t.ini";
    const wchar_t* texts[] = {L"0", L"60", L"-5", L"+7", L"12abc", L"abc", L"0x1F", L"0o17",
                              L"0b101", L"-0x10", L"2147483648", L"4294967297", L"0X10",
                              L"000000000000000000000000000009", L"1 2"};
    for (const wchar_t* text : texts) {
        WritePrivateProfileStringW(L"S", L"k", text, ini.c_str());
        int api = static_cast<int>(GetPrivateProfileIntW(L"S", L"k", 77, ini.c_str()));
        EXPECT_EQ(ParseProfileInt(text), api) << text;
    }
}

TEST(IniStore, StructTextMatchesTheProfileFunctions) {
    TempFolder dir;
    std::wstring ini = dir / L"t.ini";
    StoredAccelerators stored = EncodeAccelerators(DefaultAccelerators());
    WritePrivateProfileStructW(L"Akey", L"SaveKey", stored.data(), stored.size(), ini.c_str());
    IniStore store(ini);
    MemoryProfile file(test::ReadTextFile(ini));
    ASSERT_NE(file.Value(L"Akey", L"SaveKey"), nullptr);
    EXPECT_EQ(*file.Value(L"Akey", L"SaveKey"), EncodeProfileStruct(stored.data(), stored.size()));

    // What the memory store writes, the real function reads.
    uint8_t data[5] = {1, 2, 3, 250, 9};
    WritePrivateProfileStringW(L"S", L"k", EncodeProfileStruct(data, 5).c_str(), ini.c_str());
    uint8_t back[5] = {};
    EXPECT_TRUE(store.ReadStruct(L"S", L"k", back, 5));
    EXPECT_EQ(0, memcmp(back, data, 5));
    EXPECT_FALSE(store.ReadStruct(L"S", L"k", back, 4));
}

TEST(IniStore, SaveAtExitRoundTrip) {
    TempFolder dir;
    std::wstring ini = dir / L"Pelio.ini";
    test::WriteTextFile(ini, L"[Vwin]\r\nHandAdded=1\r\nTime=61\r\nBgColor=5\r\n[Awin]\r\nStart=2\r\n"
                             L"Dual=1\r\nTop=3\r\n[ImgC]\r\nKeep=1\r\n[SImg]\r\nDepth=16\r\n");
    IniStore store(ini);
    Settings s;
    SettingsEnvironment env{[](const std::wstring&) { return false; }, L"C:\\Docs"};
    LoadAllSettings(store, env, s);
    EXPECT_EQ(s.viewer.time, 1);
    EXPECT_EQ(s.viewer.bgColor, 1);
    EXPECT_TRUE(s.app.top);
    EXPECT_EQ(s.save.depth, 24);

    AccelTable accel = DefaultAccelerators();
    accel[6] = Accel{9, 'K', cmd::kComment};
    WriteStoredAccelerators(store, accel);
    SaveAllSettings(store, s);

    EXPECT_EQ(SectionNames(ini), (std::vector<std::wstring>{L"ImgC", L"Akey", L"Awin", L"LImg", L"SImg",
                                                            L"Path", L"Swin", L"Vwin"}));
    EXPECT_EQ(store.ReadString(L"Vwin", L"HandAdded", L"gone"), L"gone");
    EXPECT_EQ(store.ReadInt(L"Awin", L"Start", -1), 2);
    EXPECT_EQ(store.ReadInt(L"Awin", L"Dual", -1), 1);
    EXPECT_EQ(store.ReadInt(L"ImgC", L"Keep", -1), 1);
    EXPECT_EQ(store.ReadString(L"Vwin", L"Time", L""), L"1");
    EXPECT_EQ(store.ReadString(L"Awin", L"Top", L""), L"1");
    EXPECT_EQ(ReadStoredAccelerators(store), accel);

    Settings back;
    LoadAllSettings(store, env, back);
    EXPECT_EQ(back.viewer.bgColor, 1);
    EXPECT_EQ(back.save.depth, 24);
    EXPECT_EQ(back.path.open, L"C:\\Docs");
}

TEST(IniStore, DamagedSaveKeyLeavesEveryAcceleratorAtItsDefault) {
    TempFolder dir;
    std::wstring ini = dir / L"Pelio.ini";
    IniStore store(ini);
    AccelTable accel = DefaultAccelerators();
    accel[0].key = 'P';
    WriteStoredAccelerators(store, accel);
    ASSERT_EQ(ReadStoredAccelerators(store), accel);

    MemoryProfile file(test::ReadTextFile(ini));
    std::wstring text = *file.Value(L"Akey", L"SaveKey");
    text[10] = text[10] == L'0' ? L'1' : L'0';  // one hex digit changed by hand
    WritePrivateProfileStringW(L"Akey", L"SaveKey", text.c_str(), ini.c_str());
    EXPECT_EQ(ReadStoredAccelerators(store), DefaultAccelerators());
}

TEST(IniStore, PortableFileBesideTheExecutableWins) {
    TempFolder exeDir;
    std::wstring beside = exeDir / L"Pelio.ini";
    test::WriteTextFile(beside, L"[Awin]\r\n");
    EXPECT_EQ(ResolveIniPath(exeDir.Path()), beside);
}

TEST(IniStore, OtherwiseTheFileLivesUnderAppData) {
    TempFolder exeDir;
    std::wstring folder = test::AppDataFolder() + L"\\Pelio";
    test::RemoveTree(folder);
    EXPECT_EQ(ResolveIniPath(exeDir.Path()), folder + L"\\Pelio.ini");
    DWORD attr = GetFileAttributesW(folder.c_str());
    EXPECT_TRUE(attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_FALSE(test::PathExists(folder + L"\\Pelio.ini"));  // created by the first write only
}

}  // namespace
}  // namespace pelio
