// The frame's link. Win32.
#include "win/base/frame_link.h"

namespace pelio {

FrameLink& Link() {
    static FrameLink link;
    return link;
}

}  // namespace pelio
