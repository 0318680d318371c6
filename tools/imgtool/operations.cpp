// The operations of `imgtool op`, through the core functions the Edit window's Confirm uses.
// Portable.
#include "tools/imgtool/operations.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "core/ops/edit_results.h"
#include "core/ops/filter_operations.h"
#include "core/ops/hls_operation.h"
#include "core/ops/rotate.h"
#include "core/ops/tone_operations.h"
#include "core/ops/working_picture.h"
#include "tools/imgtool/options.h"

namespace pelio::imgtool {

namespace {

// The working picture, released unless it becomes the result.
class Working {
public:
    explicit Working(PixelAllocator& allocator) : allocator_(allocator) {}
    ~Working() {
        if (work_.picture.bits) allocator_.Release(work_.picture);
    }
    Working(const Working&) = delete;
    Working& operator=(const Working&) = delete;

    bool Make(const Image& image, const PictureNeeds& needs = {}) {
        return MakeWorkingPicture(image, needs, allocator_, work_);
    }
    const PixelJob& Job() const { return work_.job; }
    OpStatus Take(Image& out) {
        out = work_.picture;
        work_.picture = Image{};
        return OpStatus::Done;
    }

private:
    PixelAllocator& allocator_;
    WorkingPicture work_;
};

// 0x00BBGGRR from "R,G,B".
bool ToColour(const std::string& text, uint32_t& colour) {
    uint8_t r = 0, g = 0, b = 0;
    if (!ToRgb(text, r, g, b)) return false;
    colour = uint32_t{r} | uint32_t{g} << 8 | uint32_t{b} << 16;
    return true;
}

OpStatus RunLevels(const Image& image, LevelsBounds bounds, bool automatic, PixelAllocator& allocator, Image& out) {
    Working w(allocator);
    if (!w.Make(image)) return OpStatus::NoMemory;
    auto plan = std::make_unique<LevelsPlan>();
    PrepareLevels(w.Job(), *plan);
    if (automatic) {
        for (int c = 0; c < 3; ++c) SetAutoLevels(*plan, c, bounds);
        std::printf("b=%d,%d g=%d,%d r=%d,%d\n", bounds.low[0], bounds.high[0], bounds.low[1], bounds.high[1],
                    bounds.low[2], bounds.high[2]);
    }
    if (bounds.Neutral()) return OpStatus::Unchanged;
    ApplyLevelsBounds(w.Job(), *plan, bounds);
    return w.Take(out);
}

OpStatus Levels(const Image& image, const OpArgs& a, PixelAllocator& allocator, Image& out) {
    LevelsBounds bounds;
    bounds.SetLow(kLevelsAllChannels, a.numbers[0]);
    bounds.SetHigh(kLevelsAllChannels, a.numbers[1]);
    return RunLevels(image, bounds, false, allocator, out);
}

// Blue, green, red, each its own bounds: a channel mode.
OpStatus LevelsRgb(const Image& image, const OpArgs& a, PixelAllocator& allocator, Image& out) {
    LevelsBounds bounds;
    bounds.mode = 0;
    for (int c = 0; c < 3; ++c) {
        bounds.SetLow(c, a.numbers[size_t(2 * c)]);
        bounds.SetHigh(c, a.numbers[size_t(2 * c + 1)]);
    }
    return RunLevels(image, bounds, false, allocator, out);
}

OpStatus LevelsAuto(const Image& image, const OpArgs&, PixelAllocator& allocator, Image& out) {
    LevelsBounds bounds;
    bounds.mode = 0;
    return RunLevels(image, bounds, true, allocator, out);
}

template <ToneKind kKind>
OpStatus Tone(const Image& image, const OpArgs& a, PixelAllocator& allocator, Image& out) {
    const ToneValues values = ClampTone(kKind, {a.numbers[0], a.numbers[1], a.numbers[2]});
    if (values.Neutral()) return OpStatus::Unchanged;
    Working w(allocator);
    if (!w.Make(image)) return OpStatus::NoMemory;
    auto plan = std::make_unique<TonePlan>();
    PrepareTone(w.Job(), kKind, *plan);
    ApplyTone(w.Job(), *plan, values);
    return w.Take(out);
}

OpStatus Invert(const Image& image, const OpArgs&, PixelAllocator& allocator, Image& out) {
    return InvertResult(image, allocator, out) ? OpStatus::Done : OpStatus::NoMemory;
}

OpStatus HueSaturation(const Image& image, const OpArgs& a, PixelAllocator& allocator, Image& out) {
    const HlsShift shift = ClampHlsShift({a.numbers[0], a.numbers[1], a.numbers[2]});
    ColourRange range;
    const std::vector<std::string>* given = a.Option("--range");
    if (given) {
        uint32_t colour = 0;
        int radius = 0;
        if (!ToColour((*given)[0], colour) || !ToInt((*given)[1], radius)) return OpStatus::BadArgument;
        range = MakeColourRange(colour, radius);
    }
    if (shift.Neutral()) return OpStatus::Unchanged;
    Working w(allocator);
    if (!w.Make(image)) return OpStatus::NoMemory;
    ApplyHueSaturation(w.Job(), shift, given ? &range : nullptr);
    return w.Take(out);
}

OpStatus Unsharp(const Image& image, const OpArgs& a, PixelAllocator& allocator, Image& out) {
    if (!PictureFits(image, kFilterNeeds)) return OpStatus::Refused;
    const UnsharpSetting setting = ClampUnsharp({a.numbers[0], a.numbers[1]});
    if (setting.Neutral()) return OpStatus::Unchanged;
    Working w(allocator);
    UnsharpPlan plan;
    if (!w.Make(image, kFilterNeeds) || !PrepareUnsharpMask(w.Job(), plan)) return OpStatus::NoMemory;
    ApplyUnsharpMask(w.Job(), plan, setting);
    return w.Take(out);
}

OpStatus Blur(const Image& image, const OpArgs& a, PixelAllocator& allocator, Image& out) {
    if (!KnownBlurKind(a.numbers[0]) || !PictureFits(image, kFilterNeeds)) return OpStatus::Refused;
    const auto kind = static_cast<BlurKind>(a.numbers[0]);
    const BlurSetting setting{kind, ClampBlurLevel(kind, a.numbers[1])};
    if (setting.Neutral()) return OpStatus::Unchanged;
    Working w(allocator);
    BlurPlan plan;
    if (!w.Make(image, kFilterNeeds) || !ApplyBlur(w.Job(), plan, setting)) return OpStatus::NoMemory;
    return w.Take(out);
}

OpStatus SoftFocus(const Image& image, const OpArgs& a, PixelAllocator& allocator, Image& out) {
    if (!PictureFits(image, kFilterNeeds)) return OpStatus::Refused;
    const int level = ClampSoftFocus(a.numbers[0]);
    if (SoftFocusNeutral(level)) return OpStatus::Unchanged;
    Working w(allocator);
    SoftFocusPlan plan;
    if (!w.Make(image, kFilterNeeds) || !PrepareSoftFocus(w.Job(), plan)) return OpStatus::NoMemory;
    ApplySoftFocus(w.Job(), plan, level);
    return w.Take(out);
}

OpStatus MarginsOp(const Image& image, const OpArgs& a, PixelAllocator& allocator, Image& out) {
    const Margins margins = LimitMargins({a.numbers[0], a.numbers[1], a.numbers[2], a.numbers[3]}, image.Width(),
                                         image.Height());
    uint32_t colour = 0xFFFFFF;
    if (const std::vector<std::string>* given = a.Option("--colour"))
        if (!ToColour((*given)[0], colour)) return OpStatus::BadArgument;
    if (margins.None()) return OpStatus::Unchanged;
    return MarginsResult(image, margins, colour, allocator, out) ? OpStatus::Done : OpStatus::NoMemory;
}

OpStatus Turn(const Image& image, const OpArgs& a, PixelAllocator& allocator, Image& out) {
    if (!KnownTurnKind(a.numbers[0])) return OpStatus::Refused;
    return TurnResult(image, static_cast<TurnKind>(a.numbers[0]), allocator, out) ? OpStatus::Done
                                                                                    : OpStatus::NoMemory;
}

OpStatus Resize(const Image& image, const OpArgs& a, PixelAllocator& allocator, Image& out) {
    const int width = ClampResizeSide(a.numbers[0], image.Width());
    const int height = ClampResizeSide(a.numbers[1], image.Height());
    if (ResizeNeutral(image, width, height)) return OpStatus::Unchanged;
    return ResizeResult(image, width, height, allocator, out) ? OpStatus::Done : OpStatus::Refused;
}

// Corners as the coordinate fields hold them: ordered and inside the picture, or refused.
OpStatus Trim(const Image& image, const OpArgs& a, PixelAllocator& allocator, Image& out) {
    const TrimRect selection{a.numbers[0], a.numbers[1], a.numbers[2], a.numbers[3]};
    if (selection.x1 < 0 || selection.y1 < 0 || selection.x1 > selection.x2 || selection.y1 > selection.y2 ||
        selection.x2 >= image.Width() || selection.y2 >= image.Height())
        return OpStatus::Refused;
    if (!TrimChangesPicture(selection, image.Width(), image.Height())) return OpStatus::Unchanged;
    return TrimResult(image, selection, allocator, out) ? OpStatus::Done : OpStatus::NoMemory;
}

// The angle as the field takes it (within ±180.0°), in the stored form the kernels use.
OpStatus Rotate(const Image& image, const OpArgs& a, PixelAllocator& allocator, Image& out) {
    const int angle = StoredAngle(std::clamp(a.numbers[0], -kAngleLimit, kAngleLimit));
    uint32_t background = 0xFFFFFF;
    if (const std::vector<std::string>* given = a.Option("--bg"))
        if (!ToColour((*given)[0], background)) return OpStatus::BadArgument;
    if (angle == 0) return OpStatus::Unchanged;
    if (a.Option("--preview")) {
        Working w(allocator);
        if (!w.Make(image, {.works24 = true})) return OpStatus::NoMemory;
        RotatePreview(w.Job(), angle, background);
        return w.Take(out);
    }
    return RotateResult(image, angle, background, allocator, out) ? OpStatus::Done : OpStatus::Refused;
}

constexpr OpRow kOperations[] = {
    {"levels", 2, {}, Levels, "LOW HIGH"},
    {"levels-rgb", 6, {}, LevelsRgb, "LOWB HIGHB LOWG HIGHG LOWR HIGHR"},
    {"levels-auto", 0, {}, LevelsAuto, "(prints b=L,H g=L,H r=L,H)"},
    {"gamma", 3, {}, Tone<ToneKind::Gamma>, "R G B"},
    {"brightness", 3, {}, Tone<ToneKind::Brightness>, "R G B"},
    {"contrast", 3, {}, Tone<ToneKind::Contrast>, "R G B"},
    {"invert", 0, {}, Invert, ""},
    {"hls", 3, {{{"--range", 2}}}, HueSaturation, "HUE LIGHTNESS SATURATION [--range R,G,B RADIUS]"},
    {"unsharp", 2, {}, Unsharp, "STRENGTH THRESHOLD"},
    {"blur", 2, {}, Blur, "KIND LEVEL (0 3x3, 1 5x5, 2 Gaussian)"},
    {"softfocus", 1, {}, SoftFocus, "LEVEL"},
    {"margins", 4, {{{"--colour", 1}}}, MarginsOp, "TOP BOTTOM LEFT RIGHT [--colour R,G,B]"},
    {"turn", 1, {}, Turn, "KIND (1 90, 2 180, 3 270, 4 left-right, 5 top-bottom)"},
    {"trim", 4, {}, Trim, "X1 Y1 X2 Y2 (inclusive, y from the top row)"},
    {"resize", 2, {}, Resize, "WIDTH HEIGHT"},
    {"rotate", 1, {{{"--bg", 1}, {"--preview", 0}}}, Rotate, "TENTHS [--bg R,G,B] [--preview]"},
};

}  // namespace

const std::vector<std::string>* OpArgs::Option(const char* name) const {
    const std::vector<std::string>* found = nullptr;
    for (const auto& [given, values] : options)
        if (given == name) found = &values;
    return found;
}

std::span<const OpRow> Operations() { return kOperations; }

const OpRow* FindOperation(const std::string& name) {
    for (const OpRow& row : kOperations)
        if (name == row.name) return &row;
    return nullptr;
}

bool SplitOpArgs(const OpRow& row, const std::vector<std::string>& args, OpArgs& out,
                 std::vector<std::string>& rest, std::string& error) {
    const size_t count = static_cast<size_t>(row.numbers);
    if (args.size() < count) {
        error = std::string(row.name) + " takes " + row.usage;
        return false;
    }
    out.numbers.assign(count, 0);
    for (size_t i = 0; i < count; ++i)
        if (!ToInt(args[i], out.numbers[i])) {
            error = std::string(row.name) + ": not a number: " + args[i];
            return false;
        }
    for (size_t i = count; i < args.size(); ++i) {
        const OpOption* own = nullptr;
        for (const OpOption& o : row.options)
            if (o.name && args[i] == o.name) own = &o;
        if (!own) {
            rest.push_back(args[i]);
            continue;
        }
        if (args.size() - i - 1 < static_cast<size_t>(own->values)) {
            error = std::string("missing value for ") + own->name;
            return false;
        }
        out.options.emplace_back(own->name, std::vector<std::string>(args.begin() + ptrdiff_t(i) + 1,
                                                                     args.begin() + ptrdiff_t(i) + 1 + own->values));
        i += static_cast<size_t>(own->values);
    }
    return true;
}

}  // namespace pelio::imgtool
