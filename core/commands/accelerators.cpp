// Default accelerator table and its stored form. Portable.
#include "core/commands/accelerators.h"

#include "core/commands/command_ids.h"

namespace pelio {

namespace {

constexpr uint8_t kPlain = kAccelVirtKey;
constexpr uint8_t kCtrl = kAccelVirtKey | kAccelControl;
constexpr uint8_t kShift = kAccelVirtKey | kAccelShift;

// Virtual-key codes used by the defaults.
constexpr uint16_t kVkBack = 8, kVkTab = 9, kVkReturn = 13, kVkEscape = 27, kVkSpace = 32;
constexpr uint16_t kVkPrior = 33, kVkNext = 34, kVkEnd = 35, kVkHome = 36;
constexpr uint16_t kVkLeft = 37, kVkUp = 38, kVkRight = 39, kVkDown = 40, kVkDelete = 46;

constexpr Accel A(int command, uint8_t flags = kPlain, uint16_t key = 0) {
    return Accel{flags, key, static_cast<uint16_t>(command)};
}

using namespace cmd;

constexpr AccelTable kDefaults = {{
    A(kOpen, kCtrl, 'O'), A(kReload, kPlain, kVkBack), A(kSaveAs, kCtrl, 'S'),
    A(kCopy, kPlain, 'C'), A(kPaste, kPlain, 'V'), A(kDelete, kPlain, kVkDelete),
    A(kComment), A(kTextData), A(kWallpaper), A(kPrint),
    A(kTrim), A(kResize), A(kMargins), A(kRotate),
    A(kTurn90, kCtrl, kVkRight), A(kTurn180), A(kTurn270, kCtrl, kVkLeft), A(kMirror), A(kFlip),
    A(kHistogramCorrection), A(kGamma), A(kBrightness), A(kContrast), A(kHueSaturation),
    A(kInvert), A(kUnsharpMask), A(kBlur), A(kSoftFocus), A(kHistogram), A(kColourCount),
    A(kFit), A(kZoom100), A(kZoomIn, kPlain, kVkPrior), A(kZoomOut, kPlain, kVkNext),
    A(kSlideshow), A(kEditWindow, kPlain, kVkTab), A(kFileList), A(kTopmost, kPlain, 'T'),
    A(kCentre, kPlain, kVkHome), A(kTitleBar), A(kFrame), A(kToolbarStrip),
    A(kBackgroundWhite), A(kBackgroundLightGrey), A(kBackgroundGrey), A(kBackgroundDarkGrey),
    A(kBackgroundBlack), A(kOptions, kPlain, 'O'),
    A(kTool1, kPlain, '1'), A(kTool1 + 1, kPlain, '2'), A(kTool1 + 2, kPlain, '3'), A(kTool1 + 3, kPlain, '4'),
    A(kTool1 + 4, kPlain, '5'), A(kTool1 + 5, kPlain, '6'), A(kTool1 + 6, kPlain, '7'), A(kTool1 + 7, kPlain, '8'),
    A(kHelp), A(kMouseOperations), A(kAbout), A(kFullScreen, kPlain, kVkReturn),
    A(kMinimise, kPlain, kVkEnd), A(kExit, kPlain, kVkEscape), A(kZoomToggle, kPlain, kVkSpace),
    A(kZoomPlus10, kCtrl, kVkUp), A(kZoomMinus10, kCtrl, kVkDown),
    A(kZoomPreset1000), A(kZoomPreset400), A(kZoomPreset200), A(kZoomPreset50), A(kZoomPreset25),
    A(kZoomPreset10),
    A(kFirstFile, kPlain, kVkLeft), A(kPreviousFile, kPlain, kVkUp),
    A(kNextFile, kPlain, kVkDown), A(kLastFile, kPlain, kVkRight),
    A(kScrollLeft, kShift, kVkLeft), A(kScrollRight, kShift, kVkRight),
    A(kScrollUp, kShift, kVkUp), A(kScrollDown, kShift, kVkDown),
    A(kScrollBars), A(kSavePreview, kPlain, 'A'), A(kPanesSideBySide, kPlain, 'S'),
    A(kPaneImage, kPlain, 'D'), A(kPanePreview, kPlain, 'F'),
}};

static_assert(kDefaults.size() == kAccelCount);
static_assert(kDefaults[0].command == kOpen && kDefaults[kAccelCount - 1].command == kPanePreview);

constexpr wchar_t kSection[] = L"Akey";
constexpr wchar_t kKey[] = L"SaveKey";

void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t GetU32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

}  // namespace

const AccelTable& DefaultAccelerators() { return kDefaults; }

StoredAccelerators EncodeAccelerators(const AccelTable& table) {
    StoredAccelerators out{};
    for (int i = 0; i < kAccelCount; ++i) {
        uint8_t* rec = out.data() + i * kAccelRecordSize;
        PutU32(rec, table[i].flags);
        PutU32(rec + 4, table[i].key);
        PutU32(rec + 8, table[i].command);
    }
    return out;
}

AccelTable MergeAccelerators(const StoredAccelerators& stored) {
    AccelTable table = kDefaults;
    for (int r = 0; r < kAccelCount; ++r) {
        const uint8_t* rec = stored.data() + r * kAccelRecordSize;
        uint32_t flags = GetU32(rec), key = GetU32(rec + 4), command = GetU32(rec + 8);
        for (Accel& entry : table) {
            if (entry.command != command) continue;
            entry.flags = flags > 15 ? kAccelVirtKey : static_cast<uint8_t>(flags);
            entry.key = key >= 256 ? 0 : static_cast<uint16_t>(key);
            break;
        }
    }
    return table;
}

AccelTable ReadStoredAccelerators(ProfileStore& store) {
    StoredAccelerators stored{};
    if (!store.ReadStruct(kSection, kKey, stored.data(), stored.size())) return kDefaults;
    return MergeAccelerators(stored);
}

void WriteStoredAccelerators(ProfileStore& store, const AccelTable& table) {
    store.DeleteSection(kSection);
    StoredAccelerators stored = EncodeAccelerators(table);
    store.WriteStruct(kSection, kKey, stored.data(), stored.size());
}

}  // namespace pelio
