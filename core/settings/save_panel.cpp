// Save settings panel rules. Portable.
#include "core/settings/save_panel.h"

#include "core/commands/command_ids.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace pelio {

namespace {

enum Format { kBmp = 0, kPng = 1, kJpeg = 2, kTiff = 3, kGif = 4, kJpegTrans = 5 };

// Depth selection of BMP and of TIFF's colour entries: 24, 8, 4, 1.
int SelectBmpDepth(ImageSaveSettings& s) {
    if (s.depth == 24) return 0;
    if (s.depth == 1) return 3;
    if (s.depth <= 4) {
        s.depth = 4;
        return 2;
    }
    s.depth = 8;
    return 1;
}

void SetDepth(ImageSaveSettings& s, int depth, bool gray = false) {
    s.depth = depth;
    s.gray = gray;
}

ItemState PressedIf(bool on) { return on ? ItemState::Pressed : ItemState::Shown; }

}  // namespace

const std::vector<std::wstring>& SaveFormatNames() {
    static const std::vector<std::wstring> names = {L"BMP", L"PNG", L"JPEG", L"TIFF", L"GIF",
                                                    L"JPEG/TRANS"};
    return names;
}

bool OffersLosslessJpeg(bool hasImage, bool imageIsJpeg) { return !hasImage || imageIsJpeg; }

const std::vector<std::wstring>& DepthEntries(int format) {
    static const std::wstring k24 = L"24bit(ﾌﾙｶﾗｰ)", k8 = L"8bit(256色)", k4 = L"4bit(16色)",
                              k2 = L"2bit(4色)", k1 = L"1bit(2色)", kGrey = L"8bit ｸﾞﾚｲｽｹｰﾙ";
    static const std::vector<std::wstring> lists[] = {
        {k24, k8, k4, k1},
        {k24, k8, k4, k2, k1, kGrey},
        {k24, kGrey},
        {k24, k8, k4, k1, kGrey},
        {k8, L"7bit(128色)", L"6bit(64色)", L"5bit(32色)", k4, L"3bit(8色)", k2, k1},
        {k24, kGrey},
    };
    return lists[format >= kBmp && format <= kJpegTrans ? format : kBmp];
}

int SelectDepthEntry(ImageSaveSettings& s, int imageBits) {
    switch (s.format) {
    case kPng:
        if (s.gray) return 5;
        if (s.depth == 24) return 0;
        if (s.depth >= 5) return s.depth = 8, 1;
        if (s.depth >= 3) return s.depth = 4, 2;
        return s.depth == 2 ? 3 : 4;
    case kJpeg:
        if (s.gray) return 1;
        s.depth = 24;
        return 0;
    case kTiff:
        if (s.gray) return 4;
        return SelectBmpDepth(s);
    case kGif:
        s.gray = false;
        if (s.depth == 24) s.depth = 8;
        return 8 - s.depth;
    case kJpegTrans:
        if (imageBits != 0 && imageBits != 24) return SetDepth(s, 8, true), 1;
        SetDepth(s, 24);
        return 0;
    default:
        s.gray = false;
        return SelectBmpDepth(s);
    }
}

void ChooseDepthEntry(ImageSaveSettings& s, int entry) {
    static constexpr int kBmpDepths[] = {24, 8, 4, 1};
    static constexpr int kPngDepths[] = {24, 8, 4, 2, 1, 8};
    s.gray = false;
    switch (s.format) {
    case kPng:
        if (entry >= 0 && entry <= 5) SetDepth(s, kPngDepths[entry], entry == 5);
        return;
    case kJpeg:
    case kJpegTrans:
        if (entry == 1) SetDepth(s, 8, true);
        else SetDepth(s, 24);
        return;
    case kTiff:
        if (entry == 4) SetDepth(s, 8, true);
        else if (entry >= 0 && entry <= 3) SetDepth(s, kBmpDepths[entry]);
        return;
    case kGif:
        if (entry >= 0 && entry <= 7) s.depth = 8 - entry;
        return;
    default:
        if (entry >= 0 && entry <= 3) SetDepth(s, kBmpDepths[entry]);
        return;
    }
}

PanelLayout ApplyFormatRules(const ImageSaveSettings& s, const PanelFacts& f) {
    using enum ItemState;
    const int format = s.format;
    const bool png = format == kPng, jpeg = format == kJpeg, gif = format == kGif,
               trans = format == kJpegTrans, plain = format == kBmp || format == kTiff;
    auto when = [](bool on, ItemState state) { return on ? state : Hidden; };

    PanelLayout l;
    ItemState sampling = Hidden;
    if (jpeg) sampling = s.gray ? Greyed : Shown;
    l.items = {
        {cmd::kSavePreview, f.hasImage ? Shown : Greyed},
        {kSeparator9930, when(!plain, Shown)},
        {kPlaceholder9940, when(png || jpeg, Greyed)},
        {kSeparator9931, when(png || jpeg, Shown)},
        {cmd::kTransparency, when(png || gif, PressedIf(f.transparent))},
        {kPlaceholder9941, when(png || gif, Greyed)},
        {kSeparator9932, when(png || gif, Shown)},
        {cmd::kInterlace, when(png || gif, PressedIf(s.interlace))},
        {kSeparator9933, when(png, Shown)},
        {cmd::kWriteGamma, when(png, PressedIf(s.gamma))},
        {kPlaceholder9942, when(png, Greyed)},
        {kSeparator9934, when(png || jpeg || trans, Shown)},
        {cmd::kProgressive, when(jpeg || trans, PressedIf(s.progressive))},
        {kSeparator9935, when(jpeg || trans, Shown)},
        {cmd::kCommentSwitch, when(png || jpeg, PressedIf(f.comment))},
        {cmd::kJpegTrim, when(trans, PressedIf(s.jpgTrim))},
        {kSeparator9936, when(jpeg, Shown)},
    };
    for (int i = 0; i < 3; ++i) {
        const bool selected = s.sampling == i;
        l.items.push_back({cmd::kSampling41 + i,
                           sampling == Shown && selected ? Pressed : sampling});
        l.items.push_back({cmd::kMarkersNone + i, when(trans, PressedIf(s.jMarker == i))});
    }
    l.placeholderWidth = png ? 110 : jpeg ? 45 : 0;
    l.depthListEnabled = !(trans && f.hasImage && f.imageBits == 8);
    l.colourBox = png ? ColourBoxPlace::Png : gif ? ColourBoxPlace::Gif : ColourBoxPlace::Hidden;
    l.pngFields = png;
    l.filterEnabled = png && (s.depth == 24 || s.gray);
    l.jpegFields = jpeg;
    return l;
}

int FieldNumber(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    long long n = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        n = n * 10 + (text[i] - L'0');
        if (n > INT_MAX) return 0;  // not a number the field can hold
    }
    return static_cast<int>(negative ? -n : n);
}

FieldResult ReadLevelField(const std::wstring& text) {
    const int n = FieldNumber(text);
    FieldResult r;
    r.value = n < 0 ? 0 : n > 9 ? 9 : n;
    r.rewrite = true;
    r.text = std::to_wstring(r.value);
    return r;
}

FieldResult ReadQualityField(const std::wstring& text) {
    const int n = FieldNumber(text);
    FieldResult r;
    r.value = n <= 0 ? 1 : n > 100 ? 100 : n;
    r.rewrite = true;
    r.text = std::to_wstring(r.value);
    return r;
}

FieldResult ReadSizeLimitField(const std::wstring& text) {
    const int n = FieldNumber(text);
    FieldResult r;
    r.value = n >= 1 ? n : 1;
    r.rewrite = n < 1;
    if (r.rewrite) r.text = L"1";
    return r;
}

std::wstring GammaText(int thousandths) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.3f", thousandths / 1000.0);
    return std::wstring(buffer, buffer + std::char_traits<char>::length(buffer));
}

FieldResult ReadGammaField(const std::wstring& text) {
    FieldResult r;
    const std::wstring head = text.substr(0, 7);
    if (head.empty()) {
        r.value = 2200;
        r.rewrite = true;
        r.text = GammaText(2200);
        return r;
    }
    std::string narrow;
    for (wchar_t c : head) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    const double value = std::strtod(narrow.c_str(), nullptr) * 1000;
    const long long thousandths = value >= 1 ? static_cast<long long>(value > 1e9 ? 1e9 : value) : 0;
    if (thousandths >= 1) {
        r.value = static_cast<int>(thousandths);
        return r;
    }
    r.value = 1;
    r.rewrite = true;
    r.text = GammaText(1);
    return r;
}

}  // namespace pelio
