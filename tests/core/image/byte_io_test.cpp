// The bounded byte reader: values in both byte orders, and the overrun flag.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/image/byte_io.h"

namespace pelio {
namespace {

const std::vector<uint8_t> kBytes = {0x12, 0x34, 0x56, 0x78, 0x9A};

TEST(ByteReader, ReadsValuesInItsByteOrder) {
    struct Case {
        ByteOrder order;
        uint16_t u16At1;
        uint32_t u32At1;
        uint16_t first16;
        uint16_t next16;
    };
    const Case cases[] = {
        {ByteOrder::Little, 0x5634, 0x9A785634, 0x3412, 0x7856},
        {ByteOrder::Big, 0x3456, 0x3456789A, 0x1234, 0x5678},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.order == ByteOrder::Big ? "big" : "little");
        ByteReader r(kBytes, c.order);
        EXPECT_EQ(r.U16At(1), c.u16At1);
        EXPECT_EQ(r.U32At(1), c.u32At1);
        EXPECT_EQ(r.U8At(4), 0x9A);
        EXPECT_EQ(r.U16(), c.first16);
        EXPECT_EQ(r.U16(), c.next16);
        EXPECT_EQ(r.Position(), 4u);
        ByteReader whole(kBytes, c.order);
        whole.Skip(1);
        EXPECT_EQ(whole.U32(), c.u32At1);
        EXPECT_FALSE(r.Overrun() || whole.Overrun());
    }
}

// Each read reaches past the end, some by offsets that would wrap if added unchecked. It
// yields zero or nothing and leaves the flag set through later good reads.
TEST(ByteReader, ReadsPastTheEndSetAFlagThatStays) {
    struct Case {
        const char* name;
        std::function<uint64_t(ByteReader&)> read;
    };
    const Case cases[] = {
        {"U8At at the end", [](ByteReader& r) { return r.U8At(5); }},
        {"U16At across the end", [](ByteReader& r) { return r.U16At(4); }},
        {"U32At across the end", [](ByteReader& r) { return r.U32At(2); }},
        {"U32At near UINT64_MAX", [](ByteReader& r) { return r.U32At(UINT64_MAX - 1); }},
        {"U16At at SIZE_MAX", [](ByteReader& r) { return r.U16At(SIZE_MAX); }},
        {"BytesAt a huge count", [](ByteReader& r) { return r.BytesAt(1, UINT64_MAX).size(); }},
        {"BytesAt SIZE_MAX + 1 bytes", [](ByteReader& r) { return r.BytesAt(SIZE_MAX, 2).size(); }},
        {"U16 at the last byte", [](ByteReader& r) { r.Seek(4); return r.U16(); }},
        {"U32 after seeking past", [](ByteReader& r) { r.Seek(9); return r.U32(); }},
        {"Take more than remains", [](ByteReader& r) { r.U8(); return r.Take(5).size(); }},
        {"Skip SIZE_MAX", [](ByteReader& r) { r.U8(); r.Skip(SIZE_MAX); return r.U8(); }},
    };
    for (ByteOrder order : {ByteOrder::Little, ByteOrder::Big}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (order == ByteOrder::Big ? ", big" : ", little"));
            ByteReader r(kBytes, order);
            EXPECT_EQ(c.read(r), 0u);
            EXPECT_TRUE(r.Overrun());
            EXPECT_EQ(r.U8At(0), 0x12);
            EXPECT_TRUE(r.Overrun());
        }
    }
    ByteReader r(kBytes);
    EXPECT_TRUE(r.Fits(5, 0));
    EXPECT_FALSE(r.Fits(2, UINT64_MAX - 1));
    EXPECT_FALSE(r.Overrun());
}

}  // namespace
}  // namespace pelio
