// Rules of the save settings panel: which entries its lists offer, which items each format
// shows, and how its text fields are read. Portable.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "core/settings/settings.h"

namespace pelio {

// "BMP", "PNG", "JPEG", "TIFF", "GIF" and, where allowed, "JPEG/TRANS".
const std::vector<std::wstring>& SaveFormatNames();
// "JPEG/TRANS" is offered without an image or for an image read from a JPEG file.
bool OffersLosslessJpeg(bool hasImage, bool imageIsJpeg);

// The bit-depth entries of a save format.
const std::vector<std::wstring>& DepthEntries(int format);

// The entry to select when the list is rebuilt; adjusts depth and grey to what the format
// can write. `imageBits` is the current image's bit count (0 without an image).
int SelectDepthEntry(ImageSaveSettings& s, int imageBits);
// The user chose `entry` of the list: depth and grey follow.
void ChooseDepthEntry(ImageSaveSettings& s, int entry);

enum class ItemState : unsigned char { Hidden, Shown, Pressed, Greyed };
enum class ColourBoxPlace : unsigned char { Hidden, Png, Gif };

// Placeholder and separator identifiers of the panel toolbar.
inline constexpr int kSeparator9930 = 9930;
inline constexpr int kPlaceholder9940 = 9940;  // compression level and filter, or quality
inline constexpr int kSeparator9931 = 9931;
inline constexpr int kPlaceholder9941 = 9941;  // colour box
inline constexpr int kSeparator9932 = 9932;
inline constexpr int kSeparator9933 = 9933;
inline constexpr int kPlaceholder9942 = 9942;  // gamma field
inline constexpr int kSeparator9934 = 9934;
inline constexpr int kSeparator9935 = 9935;
inline constexpr int kSeparator9936 = 9936;

struct PanelItem {
    int id = 0;
    ItemState state = ItemState::Hidden;
};

// The state of every format-dependent item of the panel.
struct PanelLayout {
    std::vector<PanelItem> items;  // toolbar buttons, separators and placeholders
    int placeholderWidth = 0;      // of 9940 where shown
    bool depthListEnabled = true;
    ColourBoxPlace colourBox = ColourBoxPlace::Hidden;
    bool pngFields = false;     // gamma, compression level and up-down, filter list
    bool filterEnabled = false;
    bool jpegFields = false;    // quality and up-down, size-limit group
};

struct PanelFacts {
    bool hasImage = false;
    int imageBits = 0;
    bool transparent = false;  // the transparency switch
    bool comment = false;      // the comment switch
};

PanelLayout ApplyFormatRules(const ImageSaveSettings& s, const PanelFacts& facts);

// Text fields. A field result: the stored value and, when the field must be rewritten, its
// new text.
struct FieldResult {
    int value = 0;
    bool rewrite = false;
    std::wstring text;
};
FieldResult ReadLevelField(const std::wstring& text);      // 0..9
FieldResult ReadQualityField(const std::wstring& text);    // 1..100
FieldResult ReadSizeLimitField(const std::wstring& text);  // 1 or more
FieldResult ReadGammaField(const std::wstring& text);      // thousandths, 1 or more
// The gamma value as the field shows it ("%.3f").
std::wstring GammaText(int thousandths);

// The leading integer of a field's text (blanks, an optional sign, digits); 0 when none.
int FieldNumber(const std::wstring& text);

}  // namespace pelio
