// The histogram correction's pass over the working picture.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "core/ops/tone_operations.h"
#include "tests/support/sample_image.h"

namespace pelio {
namespace {

// A preview may follow passes for other modes: whatever the working picture holds, the pass
// makes every channel from the bounds of the mode that stands.
TEST(LevelsBounds, EveryPassMakesTheWholePicture) {
    test::SampleImage src(5, 3, 24), dst(5, 3, 24);
    const PixelJob job = MakePixelJob(src.image, dst.image);
    auto plan = std::make_unique<LevelsPlan>();
    PrepareLevels(job, *plan);
    LevelsBounds b;
    b.mode = 2;  // red selected; blue and green keep bounds of their own
    b.SetLow(0, 30), b.SetHigh(0, 90), b.SetLow(1, 0), b.SetHigh(1, 255), b.SetLow(2, 100), b.SetHigh(2, 200);
    b.SetLow(3, 50), b.SetHigh(3, 60);  // mode 3's bounds play no part
    EXPECT_FALSE(b.Neutral());
    for (int mode : {2, 3}) {
        b.mode = mode;
        std::memset(dst.image.bits, 7, dst.image.PixelBytes());
        ApplyLevelsBounds(job, *plan, b);
        for (int row = 0; row < 3; ++row)
            for (int i = 0; i < 15; ++i) {
                const int m = mode == 3 ? 3 : i % 3, x = src.image.Row(row)[i];
                ASSERT_EQ(dst.image.Row(row)[i], plan->tables.Map(b.low[size_t(m)], b.high[size_t(m)], x)) << mode;
            }
    }
    b.mode = 0;
    b.low[2] = 0, b.high[2] = 255, b.low[0] = 0, b.high[0] = 255;
    EXPECT_TRUE(b.Neutral());  // channel modes: all three at 0..255, mode 3 aside
}

}  // namespace
}  // namespace pelio
