// Profile text formats and the in-memory store.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>

#include "core/settings/memory_profile.h"
#include "core/settings/profile.h"

namespace pelio {
namespace {

TEST(ProfileInt, ParsesLikeTheProfileFunctions) {
    struct Case {
        const wchar_t* text;
        int value;
    } cases[] = {
        {L"0", 0},          {L"60", 60},         {L"-5", -5},        {L"+7", 7},
        {L"  12", 12},      {L"\t3", 3},         {L"12abc", 12},     {L"abc", 0},
        {L"0x1F", 31},      {L"0x", 0},          {L"0o17", 15},      {L"0b101", 5},
        {L"0b102", 2},      {L"-0x10", -16},     {L"1 2", 1},        {L"--1", 0},
        {L"2147483647", INT_MAX},                {L"2147483648", INT_MIN},
        {L"4294967297", 1},  // wraps at 32 bits
        {L"000000000000000000000000000009", 0},  // only the first 29 characters count
        {L"00000000000000000000000000009", 9},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseProfileInt(c.text), c.value) << c.text;
}

TEST(ProfileStruct, EncodesHexWithByteSum) {
    const uint8_t data[] = {0x01, 0xAB, 0xFF};
    EXPECT_EQ(EncodeProfileStruct(data, 3), L"01ABFFAB");  // 0x01 + 0xAB + 0xFF = 0x1AB
    std::array<uint8_t, 3> back{};
    ASSERT_TRUE(DecodeProfileStruct(L"01ABFFAB", back.data(), 3));
    EXPECT_EQ(back, (std::array<uint8_t, 3>{0x01, 0xAB, 0xFF}));
    EXPECT_TRUE(DecodeProfileStruct(L"01abffab", back.data(), 3));
}

TEST(ProfileStruct, RejectsDamagedText) {
    std::array<uint8_t, 3> out{7, 7, 7};
    for (const wchar_t* bad : {L"01ABFFAC", L"01ABFF", L"01ABFFAB00", L"01ABFGAB", L""})
        EXPECT_FALSE(DecodeProfileStruct(bad, out.data(), 3)) << bad;
    EXPECT_EQ(out, (std::array<uint8_t, 3>{7, 7, 7}));
}

TEST(MemoryProfile, ReadsWritesAndDeletesCaseInsensitively) {
    MemoryProfile p(L"; comment\r\n[Vwin]\r\nTime = 5 \r\nName=a b\r\n[Other]\r\nx=1\r\n");
    EXPECT_EQ(p.ReadInt(L"vwin", L"TIME", 1), 5);
    EXPECT_EQ(p.ReadString(L"Vwin", L"Name", L""), L"a b");
    EXPECT_EQ(p.ReadInt(L"Vwin", L"Missing", 42), 42);
    EXPECT_EQ(p.ReadString(L"Vwin", L"Missing", L"dflt"), L"dflt");
    p.WriteInt(L"VWIN", L"time", 9);
    EXPECT_EQ(p.ReadInt(L"Vwin", L"Time", 1), 9);
    p.DeleteSection(L"vwin");
    EXPECT_FALSE(p.Has(L"Vwin", L"Time"));
    EXPECT_EQ(p.Text(), L"[Other]\r\nx=1\r\n");
}

TEST(MemoryProfile, EmptyValueReadsAsDefaultAndLongStringsAreCut) {
    MemoryProfile p(L"[S]\r\nn=\r\n");
    EXPECT_EQ(p.ReadInt(L"S", L"n", 17), 17);
    p.WriteString(L"S", L"long", std::wstring(400, L'x'));
    EXPECT_EQ(p.ReadString(L"S", L"long", L"").size(), kMaxProfileString);
}

}  // namespace
}  // namespace pelio
