#pragma once

// Command and control identifiers. They are data: the interface language file
// names menu items and dialog controls by them.
namespace app::command {

constexpr int URL_LABEL = 1015;
constexpr int ABOUT_DLG_VERSION = 1016;
constexpr int IMAGE_WIDTH_EDIT = 1011;
constexpr int IMAGE_HEIGHT_EDIT = 1012;
constexpr int IMAGE_WIDTH_LABEL = 1013;   // EDIT2 in the language file
constexpr int IMAGE_HEIGHT_LABEL = 1014;  // OUTPUTLOG_EDIT (first) and EDIT3 there

constexpr int WINDOW_NEXT = 32708;
constexpr int BITMAPSIZE_100X100 = 32792;
constexpr int BITMAPSIZE_320X240 = 32793;
constexpr int BITMAPSIZE_640X480 = 32794;
constexpr int BITMAPSIZE_800X600 = 32795;
constexpr int BITMAPSIZE_1024X768 = 32796;
constexpr int BITMAPSIZE_CUSTOM_SIZE = 32797;
constexpr int BITMAPSIZE_VARIABLE = 32798;
constexpr int BUILD_FRACTAL = 32800;
constexpr int BUILD_STOP = 32806;
constexpr int BUILD_PREV_SAMPLE = 32807;
constexpr int BUILD_NEXT_SAMPLE = 32808;
constexpr int FILE_SAVE_BITMAP_AS = 32812;
constexpr int VIEW_TOOGLE_OUTPUTLOG = 32814;
constexpr int BUILD_AUTOBUILD = 32826;
constexpr int VIEW_CLEAR_OUTPUTLOG = 32827;
constexpr int FILE_EXPORT_MESH = 32828;
constexpr int VIEW_TABBED_DOCUMENTS = 32830;
constexpr int SAMPLES_FIRSTSAMPLE = 34000;

constexpr int FILE_NEW = 57600;
constexpr int FILE_OPEN = 57601;
constexpr int FILE_CLOSE = 57602;
constexpr int FILE_SAVE = 57603;
constexpr int FILE_SAVE_AS = 57604;
constexpr int FILE_PRINT_SETUP = 57606;
constexpr int FILE_PRINT = 57607;
constexpr int FILE_PRINT_PREVIEW = 57609;
constexpr int FILE_RECENT = 57616;  // the first of the recent-file entries
constexpr int EDIT_COPY = 57634;
constexpr int EDIT_CUT = 57635;
constexpr int EDIT_FIND = 57636;
constexpr int EDIT_PASTE = 57637;
constexpr int EDIT_REPEAT = 57640;
constexpr int EDIT_REPLACE = 57641;
constexpr int EDIT_SELECT_ALL = 57642;
constexpr int EDIT_UNDO = 57643;
constexpr int WINDOW_ARRANGE = 57649;
constexpr int WINDOW_CASCADE = 57650;
constexpr int WINDOW_TILE_HORZ = 57651;
constexpr int HELP_ABOUT = 57664;
constexpr int FILE_EXIT = 57665;
constexpr int HELP = 57670;
constexpr int VIEW_TOOLBAR = 59392;
constexpr int VIEW_STATUS_BAR = 59393;

}  // namespace app::command
