// Default accelerator table and the stored "SaveKey" record merge.
#include <gtest/gtest.h>

#include <set>

#include "core/commands/accelerators.h"
#include "core/commands/command_ids.h"
#include "core/settings/memory_profile.h"

namespace pelio {
namespace {

const Accel& Entry(const AccelTable& t, int command) {
    for (const Accel& a : t)
        if (a.command == command) return a;
    ADD_FAILURE() << "no entry for " << command;
    return t[0];
}

TEST(Accelerators, DefaultTableOrderAndKeys) {
    const AccelTable& t = DefaultAccelerators();
    const int order[] = {5010, 5011, 5012, 5030, 5031, 5032, 5040, 5041, 5050, 5060, 5120, 5121,
                         5122, 5140, 5150, 5151, 5152, 5153, 5154, 5160, 5161, 5162, 5163, 5164,
                         5165, 5170, 5171, 5172, 5111, 5110, 5210, 5220, 5230, 5240, 5250, 5310,
                         5311, 5320, 5321, 5330, 5331, 5332, 5341, 5342, 5343, 5344, 5345, 5410,
                         5420, 5421, 5422, 5423, 5424, 5425, 5426, 5427, 5510, 5515, 5520, 5530,
                         5540, 5550, 5600, 5610, 5611, 5260, 5261, 5262, 5263, 5264, 5265, 5700,
                         5702, 5703, 5701, 5650, 5651, 5652, 5653, 5710, 5810, 5720, 5721, 5722};
    static_assert(std::size(order) == kAccelCount);
    for (int i = 0; i < kAccelCount; ++i) EXPECT_EQ(t[i].command, order[i]) << i;

    struct Key {
        int command;
        uint8_t flags;
        uint16_t key;
    } keys[] = {
        {5010, 9, 'O'}, {5011, 1, 8},   {5012, 9, 'S'},  {5030, 1, 'C'},  {5031, 1, 'V'},
        {5032, 1, 46},  {5150, 9, 39},  {5152, 9, 37},   {5230, 1, 33},   {5240, 1, 34},
        {5310, 1, 9},   {5320, 1, 'T'}, {5321, 1, 36},   {5410, 1, 'O'},  {5420, 1, '1'},
        {5427, 1, '8'}, {5530, 1, 13},  {5540, 1, 35},   {5550, 1, 27},   {5600, 1, 32},
        {5610, 9, 38},  {5611, 9, 40},  {5700, 1, 37},   {5701, 1, 39},   {5702, 1, 38},
        {5703, 1, 40},  {5650, 5, 37},  {5651, 5, 39},   {5652, 5, 38},   {5653, 5, 40},
        {5810, 1, 'A'}, {5720, 1, 'S'}, {5721, 1, 'D'},  {5722, 1, 'F'},  {5040, 1, 0},
        {5260, 1, 0},   {5345, 1, 0},
    };
    for (const Key& k : keys) {
        EXPECT_EQ(Entry(t, k.command).flags, k.flags) << k.command;
        EXPECT_EQ(Entry(t, k.command).key, k.key) << k.command;
    }
    int assigned = 0;
    for (const Accel& a : t) assigned += a.key != 0;
    EXPECT_EQ(assigned, 40);
}

TEST(Accelerators, StoredFormIsTwelveByteLittleEndianRecords) {
    StoredAccelerators s = EncodeAccelerators(DefaultAccelerators());
    // First record: Ctrl+O (flags 9, key 0x4F) for command 5010 (0x1392).
    const uint8_t first[12] = {9, 0, 0, 0, 0x4F, 0, 0, 0, 0x92, 0x13, 0, 0};
    EXPECT_TRUE(std::equal(first, first + 12, s.begin()));
    EXPECT_EQ(MergeAccelerators(s), DefaultAccelerators());
}

StoredAccelerators WithRecord(int index, uint32_t flags, uint32_t key, uint32_t command) {
    StoredAccelerators s = EncodeAccelerators(DefaultAccelerators());
    uint8_t* rec = s.data() + index * kAccelRecordSize;
    for (int i = 0; i < 4; ++i) {
        rec[i] = static_cast<uint8_t>(flags >> 8 * i);
        rec[4 + i] = static_cast<uint8_t>(key >> 8 * i);
        rec[8 + i] = static_cast<uint8_t>(command >> 8 * i);
    }
    return s;
}

TEST(Accelerators, MergeRepairsAndMatchesByCommand) {
    struct Case {
        const char* what;
        int index;
        uint32_t flags, key, command;
        int checkCommand;
        uint8_t wantFlags;
        uint16_t wantKey;
    } cases[] = {
        {"new key", 6, 13, 'K', 5040, 5040, 13, 'K'},
        {"flags above 15 become FVIRTKEY", 6, 16, 'K', 5040, 5040, 1, 'K'},
        {"negative flags are repaired too", 6, 0xFFFFFFFF, 'K', 5040, 5040, 1, 'K'},
        {"key of 256 or more becomes none", 6, 9, 256, 5040, 5040, 9, 0},
        {"key 255 kept", 6, 1, 255, 5040, 5040, 1, 255},
        {"unknown command ignored, displaced default kept", 0, 9, 'Z', 4999, 5010, 9, 'O'},
        {"command above 16 bits does not alias", 0, 9, 'Z', 0x10000 + 5040, 5040, 1, 0},
    };
    for (const Case& c : cases) {
        AccelTable t = MergeAccelerators(WithRecord(c.index, c.flags, c.key, c.command));
        EXPECT_EQ(Entry(t, c.checkCommand).flags, c.wantFlags) << c.what;
        EXPECT_EQ(Entry(t, c.checkCommand).key, c.wantKey) << c.what;
    }
}

TEST(Accelerators, LoadAndSaveThroughTheStore) {
    MemoryProfile p(L"[Akey]\r\nOld=1\r\n[Vwin]\r\nTime=3\r\n");
    EXPECT_EQ(ReadStoredAccelerators(p), DefaultAccelerators());  // missing key

    AccelTable changed = DefaultAccelerators();
    changed[6].key = 'K';
    WriteStoredAccelerators(p, changed);
    EXPECT_FALSE(p.Has(L"Akey", L"Old"));
    EXPECT_EQ(p.Sections().back().name, L"Akey");
    ASSERT_NE(p.Value(L"Akey", L"SaveKey"), nullptr);
    EXPECT_EQ(p.Value(L"Akey", L"SaveKey")->size(), kStoredAccelSize * 2 + 2);
    EXPECT_EQ(ReadStoredAccelerators(p), changed);

    // A checksum damaged by hand: every entry keeps its default.
    std::wstring text = *p.Value(L"Akey", L"SaveKey");
    text.back() = text.back() == L'0' ? L'1' : L'0';
    p.WriteString(L"Akey", L"SaveKey", text);
    EXPECT_EQ(ReadStoredAccelerators(p), DefaultAccelerators());
}

}  // namespace
}  // namespace pelio
