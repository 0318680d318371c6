// The resize operation's size fields: the aspect rules between width, height and the percent
// slider, and the limits. Portable.
#pragma once

namespace pelio {

// n × m / d rounded half away from zero (d > 0).
int RoundedRatio(int n, int m, int d);

class ResizeFields {
public:
    ResizeFields(int width, int height);

    // What a field change asks of the other controls: the other field's new text (−1: none)
    // and the slider's new position (−1: none).
    struct Echo {
        int otherField = -1;
        int slider = -1;
    };
    // A width (height) read from its field: limited by ClampResizeSide, stored, and with the
    // aspect kept the other side follows.
    Echo SetWidth(int value);
    Echo SetHeight(int value);
    // The two field values for slider position `percent`.
    int SliderWidth(int percent) const;
    int SliderHeight(int percent) const;

    bool ignoreAspect = false;
    int NewWidth() const { return newWidth_; }
    int NewHeight() const { return newHeight_; }
    bool Unchanged() const { return newWidth_ == width_ && newHeight_ == height_; }

private:
    Echo Set(int value, bool horizontal);
    int width_, height_;
    int newWidth_, newHeight_;
};

}  // namespace pelio
