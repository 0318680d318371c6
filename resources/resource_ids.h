/* Resource identifiers. #defines only: the resource compiler reads this file too. */
#pragma once

#define IDI_APP 100

/* Cursors: panning 110..124, Edit window tools 130..133, window move 140, tool 141. */
#define IDC_PAN_FIRST 110
#define IDC_PAN_LAST 124
#define IDC_TOOL_FIRST 130
#define IDC_TOOL_LAST 133
#define IDC_WINDOW_MOVE 140
#define IDC_TOOL_EXTRA 141
#define IDC_LEVELS_MARKER 142 /* a histogram marker under the pointer */

/* Toolbar images, 16 × 16 each: the Viewer strip and the Edit window's toolbars (25), the
   save settings panel (16). */
#define IDB_TOOLBAR 150
#define IDB_TOOLBAR_COUNT 25
#define IDB_SAVE_PANEL 151
#define IDB_SAVE_PANEL_COUNT 16

/* Mouse operations dialog. */
#define IDD_MOUSE_INFO 4800
#define IDC_MOUSE_INFO_LINE1 4801 /* 4801..4806: one line per operation */
#define IDC_MOUSE_INFO_NOTE 4810
#define IDC_MOUSE_INFO_HIDE 4820

/* About window. */
#define IDD_ABOUT 4900
#define IDC_ABOUT_ICON 4901
#define IDC_ABOUT_NAME 4902
#define IDC_ABOUT_VERSION 4903
#define IDC_ABOUT_LINK 4904

#define IDR_MANIFEST 1

/* Wallpaper dialog. */
#define IDD_WALLPAPER 4400
#define IDC_WALLPAPER_CENTRE 4410
#define IDC_WALLPAPER_STRETCH 4411
#define IDC_WALLPAPER_TILE 4412

/* Comment and text-data dialogs. */
#define IDD_SAVE_COMMENT 4000
#define IDC_SAVE_COMMENT_TEXT 4010
#define IDD_FILE_COMMENT 4100
#define IDC_FILE_COMMENT_TEXT 4110
#define IDC_FILE_COMMENT_SAVE 4120
#define IDD_PNG_TEXTS 4200
#define IDC_PNG_TEXT_LIST 4210
#define IDD_EXIF_DATA 4300
#define IDC_EXIF_LIST 4310
#define IDC_EXIF_COPY 4320

/* Print dialog: the layout, the position and size fields (left, top, width, height) with
   their up-downs and labels in the same order, the resolution, printer setup and printing. */
#define IDD_PRINT 4500
#define IDC_PRINT_PRINT 4510
#define IDC_PRINT_SETUP 4511
#define IDC_PRINT_NORMAL 4520
#define IDC_PRINT_FULL_PAGE 4521
#define IDC_PRINT_LEFT 4530
#define IDC_PRINT_TOP 4531
#define IDC_PRINT_WIDTH 4532
#define IDC_PRINT_HEIGHT 4533
#define IDC_PRINT_LEFT_UPDOWN 4540 /* 4540..4543 */
#define IDC_PRINT_RESOLUTION 4550
#define IDC_PRINT_POSITION 4560
#define IDC_PRINT_SIZE 4561
#define IDC_PRINT_LEFT_LABEL 4570 /* 4570..4573 */
#define IDC_PRINT_RESOLUTION_LABEL 4578
#define IDC_PRINT_DPI_LABEL 4579

/* Luminance histogram dialog. */
#define IDD_LUMINANCE_HISTOGRAM 4700

/* Registration of eight width/height pairs (trimming ratios, resize presets). */
#define IDD_PAIR_REGISTER 4600
#define IDC_PAIR_WIDTH1 4620 /* 4620..4627 */
#define IDC_PAIR_HEIGHT1 4630 /* 4630..4637 */

/* Key customisation dialog. */
#define IDD_KEY_CUSTOMISE 3700
#define IDC_KEY_CHOICE_LABEL 3710
#define IDC_KEY_CHOICES 3721 /* the keys offered */
#define IDC_KEY_ASSIGN 3730
#define IDC_KEY_REMOVE 3731
#define IDC_KEY_RESET 3732
#define IDC_KEY_CLOSE 3733
#define IDC_KEY_CTRL 3740
#define IDC_KEY_SHIFT 3741
#define IDC_KEY_SLOTS 3750 /* one row per accelerator slot */

/* Options dialog: the frame with its tab control and Apply, and its six pages (their controls
   are numbered 3110…, 3210…, … by page). */
#define IDD_OPTIONS 3000
#define IDC_OPTIONS_TAB 3010
#define IDC_OPTIONS_APPLY 3020
#define IDD_OPTIONS_START 3100
#define IDD_OPTIONS_ZOOM 3200
#define IDD_OPTIONS_MOUSE 3300
#define IDD_OPTIONS_TOOLS 3400
#define IDD_OPTIONS_PLUGINS 3500
#define IDD_OPTIONS_REGISTER 3600
