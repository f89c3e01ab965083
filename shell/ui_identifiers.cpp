#include "ui_identifiers.h"

#include <array>

namespace shell {

namespace {

// In this order: where an identifier repeats, its first name counts.
constexpr std::array<UiIdentifier, 50> kIdentifiers = {{
    {"HAND_CURSOR", 139},
    {"EDIT2", 1013},
    {"OUTPUTLOG_EDIT", 1014},
    {"EDIT3", 1014},
    {"URL_LABEL", 1015},
    {"ABOUT_DLG_VERSION", 1016},
    {"FILE_SAVE_BITMAP_AS", 32812},
    {"FILE_EXPORT_MESH", 32828},
    {"VIEW_TOOGLE_OUTPUTLOG", 32814},
    {"VIEW_CLEAR_OUTPUTLOG", 32827},
    {"VIEW_TABBED_DOCUMENTS", 32830},
    {"WINDOW_NEXT", 32708},
    {"BITMAPSIZE_100X100", 32792},
    {"BITMAPSIZE_320X240", 32793},
    {"BITMAPSIZE_640X480", 32794},
    {"BITMAPSIZE_800X600", 32795},
    {"BITMAPSIZE_1024X768", 32796},
    {"BITMAPSIZE_CUSTOM_SIZE", 32797},
    {"BITMAPSIZE_VARIABLE", 32798},
    {"BUILD_FRACTAL", 32800},
    {"BUILD_STOP", 32806},
    {"BUILD_PREV_SAMPLE", 32807},
    {"BUILD_NEXT_SAMPLE", 32808},
    {"BUILD_AUTOBUILD", 32826},
    {"SAMPLES_FIRSTSAMPLE", 34000},
    {"FILE_NEW", 57600},
    {"FILE_OPEN", 57601},
    {"FILE_CLOSE", 57602},
    {"FILE_SAVE", 57603},
    {"FILE_SAVE_AS", 57604},
    {"FILE_PRINT", 57607},
    {"FILE_PRINT_PREVIEW", 57609},
    {"FILE_PRINT_SETUP", 57606},
    {"FILE_RECENT", 57616},
    {"FILE_EXIT", 57665},
    {"VIEW_TOOLBAR", 59392},
    {"VIEW_STATUS_BAR", 59393},
    {"EDIT_UNDO", 57643},
    {"EDIT_CUT", 57635},
    {"EDIT_COPY", 57634},
    {"EDIT_PASTE", 57637},
    {"EDIT_SELECT_ALL", 57642},
    {"EDIT_FIND", 57636},
    {"EDIT_REPEAT", 57640},
    {"EDIT_REPLACE", 57641},
    {"WINDOW_ARRANGE", 57649},
    {"WINDOW_CASCADE", 57650},
    {"WINDOW_TILE_HORZ", 57651},
    {"HELP", 57670},
    {"HELP_ABOUT", 57664},
}};

}  // namespace

std::span<const UiIdentifier> uiIdentifierTable() {
  return kIdentifiers;
}

std::optional<std::string_view> uiIdentifierName(int id) {
  for (const UiIdentifier& identifier : kIdentifiers) {
    if (identifier.id == id) return identifier.name;
  }
  return std::nullopt;
}

}  // namespace shell
