// Rotation by an arbitrary angle in tenths of a degree, and the rules of its angle input.
// Portable.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/ops/pixel_job.h"

namespace pelio {

// Angles are tenths of a degree. The stored form is 0 … 3599 (a negative angle v is kept as
// v + 3600); the field shows and takes −180.0 … 180.0. Positive angles turn the picture
// clockwise on the screen.
inline constexpr int kAngleLimit = 1800;
constexpr int StoredAngle(int tenths) { return tenths < 0 ? tenths + 3600 : tenths; }
constexpr int DisplayedAngle(int stored) { return stored > 1799 ? stored - 3600 : stored; }

// The angle's 8.8 fixed-point cosine and sine: trunc(256 × cos θ), trunc(256 × sin θ), θ from
// the stored form of `tenths` with π = 3.1415926535. The truncated π makes the stored and
// signed forms differ in the last bit, so every caller goes through the stored one.
struct RotationTerms {
    int32_t cs = 256, sn = 0;
};
RotationTerms RotationTermsFor(int tenths);

// The enlarged picture of the full rotation: trunc(|W cos θ| + |H sin θ|) + 5 by
// trunc(|W sin θ| + |H cos θ|) + 5.
struct RotatedExtent {
    int32_t width = 0, height = 0;
};
RotatedExtent RotatedSize(int32_t width, int32_t height, int tenths);

// Nearest-neighbour preview of the 24-bit source into a target of the same size, about the
// centre (W >> 1, H >> 1); uncovered pixels take `background` (0x00BBGGRR). Tests the cancel
// flag before every row; false when cancelled or the job is not a 24-bit picture.
bool RotatePreview(const PixelJob& job, int tenths, uint32_t background);

// Bilinear rotation of the 24-bit source (job.width × job.height) into the 24-bit target of
// outWidth × outHeight (rows padded to 4 bytes), normally RotatedSize's. A sample
// outside the source is `background`, so the edges blend into it. Tests the cancel flag before
// every row; false when cancelled or for a job that is not 24-bit or an empty target.
bool RotateFull(const PixelJob& job, int tenths, uint32_t background, int32_t outWidth, int32_t outHeight);

// The angle field's text (at most its first 7 characters) as a decimal number x, to
// round(10x) tenths (halves away from zero) within ±1800. Text that is not a number reads 0.
int ParseAngleField(std::wstring_view text);
// "%.1f" of degrees: what the slider, the up-down and the line tool write into the field.
std::wstring DegreesText(double degrees);
// The field rewritten from a stored angle when it loses the focus.
std::wstring StoredAngleText(int stored);

// The line tool: a line from `start` to `end` in pane pixels that should become horizontal
// (mode 0) or vertical (mode 1). Nothing for a line under 9 pixels in both directions;
// otherwise the new angle in degrees within −90 … 90, for DegreesText into the field.
enum class LineMode : int { Horizontal = 0, Vertical = 1 };
struct PanePoint {
    int32_t x = 0, y = 0;
};
std::optional<double> LineToolAngle(LineMode mode, PanePoint start, PanePoint end, int storedAngle);

}  // namespace pelio
