// Command identifiers: every menu item, toolbar button and key ends as one of these. Portable.
#pragma once

namespace pelio::cmd {

// Submenus of the context menu.
inline constexpr int kFileSubmenu = 5000;
inline constexpr int kImageSubmenu = 5100;
inline constexpr int kTransformSubmenu = 5106;
inline constexpr int kCorrectionSubmenu = 5107;
inline constexpr int kViewSubmenu = 5200;
inline constexpr int kWindowSubmenu = 5300;
inline constexpr int kBackgroundSubmenu = 5340;
inline constexpr int kToolsSubmenu = 5400;
inline constexpr int kHelpSubmenu = 5500;

inline constexpr int kOpen = 5010;
inline constexpr int kReload = 5011;
inline constexpr int kSaveAs = 5012;
inline constexpr int kCopy = 5030;
inline constexpr int kPaste = 5031;
inline constexpr int kDelete = 5032;
inline constexpr int kComment = 5040;
inline constexpr int kTextData = 5041;
inline constexpr int kWallpaper = 5050;
inline constexpr int kPrint = 5060;
inline constexpr int kColourCount = 5110;
inline constexpr int kHistogram = 5111;
inline constexpr int kTrim = 5120;
inline constexpr int kResize = 5121;
inline constexpr int kMargins = 5122;
inline constexpr int kRotate = 5140;
inline constexpr int kTurn90 = 5150;
inline constexpr int kTurn180 = 5151;
inline constexpr int kTurn270 = 5152;
inline constexpr int kMirror = 5153;
inline constexpr int kFlip = 5154;
inline constexpr int kHistogramCorrection = 5160;
inline constexpr int kGamma = 5161;
inline constexpr int kBrightness = 5162;
inline constexpr int kContrast = 5163;
inline constexpr int kHueSaturation = 5164;
inline constexpr int kInvert = 5165;
inline constexpr int kUnsharpMask = 5170;
inline constexpr int kBlur = 5171;
inline constexpr int kSoftFocus = 5172;
// The image operations and transforms: 5120..5172.
inline constexpr int kFirstImageOperation = 5120;
inline constexpr int kLastImageOperation = 5172;
inline constexpr int kFit = 5210;
inline constexpr int kZoom100 = 5220;
inline constexpr int kZoomIn = 5230;
inline constexpr int kZoomOut = 5240;
inline constexpr int kSlideshow = 5250;
inline constexpr int kZoomPreset1000 = 5260;
inline constexpr int kZoomPreset400 = 5261;
inline constexpr int kZoomPreset200 = 5262;
inline constexpr int kZoomPreset50 = 5263;
inline constexpr int kZoomPreset25 = 5264;
inline constexpr int kZoomPreset10 = 5265;
inline constexpr int kEditWindow = 5310;
inline constexpr int kFileList = 5311;
inline constexpr int kTopmost = 5320;
inline constexpr int kCentre = 5321;
inline constexpr int kTitleBar = 5330;
inline constexpr int kFrame = 5331;
inline constexpr int kToolbarStrip = 5332;
inline constexpr int kBackgroundWhite = 5341;  // background colours 0..4
inline constexpr int kBackgroundLightGrey = 5342;
inline constexpr int kBackgroundGrey = 5343;
inline constexpr int kBackgroundDarkGrey = 5344;
inline constexpr int kBackgroundBlack = 5345;
inline constexpr int kOptions = 5410;
inline constexpr int kTool1 = 5420;  // 5420..5427: registered tools 1..8
inline constexpr int kTool8 = 5427;
inline constexpr int kHelp = 5510;
inline constexpr int kMouseOperations = 5515;
inline constexpr int kAbout = 5520;
inline constexpr int kFullScreen = 5530;
inline constexpr int kMinimise = 5540;
inline constexpr int kExit = 5550;
inline constexpr int kZoomToggle = 5600;
inline constexpr int kZoomPlus10 = 5610;
inline constexpr int kZoomMinus10 = 5611;
inline constexpr int kScrollLeft = 5650;
inline constexpr int kScrollRight = 5651;
inline constexpr int kScrollUp = 5652;
inline constexpr int kScrollDown = 5653;
inline constexpr int kFirstFile = 5700;
inline constexpr int kLastFile = 5701;
inline constexpr int kPreviousFile = 5702;
inline constexpr int kNextFile = 5703;
inline constexpr int kScrollBars = 5710;
inline constexpr int kPanesSideBySide = 5720;
inline constexpr int kPaneImage = 5721;
inline constexpr int kPanePreview = 5722;
inline constexpr int kSavePreview = 5810;

// Save settings panel.
inline constexpr int kDither = 5800;
inline constexpr int kInterlace = 5820;
inline constexpr int kTransparency = 5830;
inline constexpr int kWriteGamma = 5840;
inline constexpr int kProgressive = 5850;
inline constexpr int kSampling41 = 5860;  // 5860..5862: 4:1, 2:1, 1:1
inline constexpr int kSampling11 = 5862;
inline constexpr int kMarkersNone = 5870;  // 5870..5872: discard, comments only, all
inline constexpr int kMarkersAll = 5872;
inline constexpr int kJpegTrim = 5880;
inline constexpr int kCommentSwitch = 5890;
inline constexpr int kConfirmOperation = 5900;
inline constexpr int kAbortOperation = 5901;

// Edit window toolbar drop-downs: they open the transform, correction and tools submenus.
inline constexpr int kTransformMenu = 6001;
inline constexpr int kCorrectionMenu = 6002;
inline constexpr int kToolsMenu = 6003;

// Ranges the code walks, or indexes from their first identifier.
static_assert(kFirstImageOperation == kTrim && kLastImageOperation == kSoftFocus);
static_assert(kTurn180 == kTurn90 + 1 && kTurn270 == kTurn90 + 2 && kMirror == kTurn90 + 3 && kFlip == kTurn90 + 4);
static_assert(kZoomPreset400 == kZoomPreset1000 + 1 && kZoomPreset200 == kZoomPreset1000 + 2 &&
              kZoomPreset50 == kZoomPreset1000 + 3 && kZoomPreset25 == kZoomPreset1000 + 4 &&
              kZoomPreset10 == kZoomPreset1000 + 5);
static_assert(kBackgroundLightGrey == kBackgroundWhite + 1 && kBackgroundGrey == kBackgroundWhite + 2 &&
              kBackgroundDarkGrey == kBackgroundWhite + 3 && kBackgroundBlack == kBackgroundWhite + 4);
static_assert(kTool8 == kTool1 + 7);
static_assert(kLastFile == kFirstFile + 1 && kPreviousFile == kFirstFile + 2 && kNextFile == kFirstFile + 3);
static_assert(kScrollRight == kScrollLeft + 1 && kScrollUp == kScrollLeft + 2 && kScrollDown == kScrollLeft + 3);
static_assert(kZoomMinus10 == kZoomPlus10 + 1);
static_assert(kPaneImage == kPanesSideBySide + 1 && kPanePreview == kPanesSideBySide + 2);
static_assert(kSampling11 == kSampling41 + 2 && kMarkersAll == kMarkersNone + 2);
static_assert(kCorrectionMenu == kTransformMenu + 1 && kToolsMenu == kTransformMenu + 2);

}  // namespace pelio::cmd
