// Slideshow and animation stepping.
#include <gtest/gtest.h>

#include "core/view/slideshow.h"

namespace pelio {
namespace {

TEST(Slideshow, StartRules) {
    struct Case { int count, selected; bool repeat, starts; };
    const Case cases[] = {
        {1, 0, true, false},  {0, -1, true, false}, {10, 9, false, false}, {10, 9, true, true},
        {10, 7, false, true}, {2, 0, false, true},  {2, -1, false, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SlideshowCanStart(c.count, c.selected, c.repeat), c.starts) << c.count << "/" << c.selected;
}

// Ten files from the eighth without repeat: the ninth, then the tenth, then the end.
TEST(Slideshow, TicksWithAndWithoutRepeat) {
    SlideStep s = NextSlide(10, 7, false);
    EXPECT_EQ(s.next, 8);
    EXPECT_TRUE(s.goesOn);
    s = NextSlide(10, 8, false);
    EXPECT_EQ(s.next, 9);
    EXPECT_FALSE(s.goesOn);
    s = NextSlide(10, 9, false);
    EXPECT_EQ(s.next, -1);

    s = NextSlide(10, 9, true);
    EXPECT_EQ(s.next, 0);
    EXPECT_TRUE(s.goesOn);
    s = NextSlide(10, 12, true);  // beyond the end, after entries were removed
    EXPECT_EQ(s.next, 0);
    s = NextSlide(3, -1, false);  // no selection: the first entry
    EXPECT_EQ(s.next, 0);
    EXPECT_TRUE(s.goesOn);
    EXPECT_EQ(NextSlide(0, 0, true).next, -1);
}

TEST(Animation, LoopsCountDownAndEndOnTheFirstFrame) {
    // Three frames played once (loop count 1): 1, 2, then the end on frame 0.
    FrameStep f = NextFrame(0, 3, 1);
    EXPECT_EQ(f.index, 1);
    f = NextFrame(f.index, 3, f.loopCount);
    EXPECT_EQ(f.index, 2);
    f = NextFrame(f.index, 3, f.loopCount);
    EXPECT_TRUE(f.ended);
    EXPECT_EQ(f.index, 0);

    // Twice: the first wrap goes on with one loop left.
    f = NextFrame(1, 2, 2);
    EXPECT_FALSE(f.ended);
    EXPECT_EQ(f.index, 0);
    EXPECT_EQ(f.loopCount, 1);

    // For ever.
    for (int i = 0; i < 10; ++i) {
        f = NextFrame(1, 2, 0);
        EXPECT_FALSE(f.ended);
        EXPECT_EQ(f.index, 0);
        EXPECT_EQ(f.loopCount, 0);
    }
}

}  // namespace
}  // namespace pelio
