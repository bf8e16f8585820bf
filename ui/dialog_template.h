// The main dialog's template: caption, font, geometry in dialog units and every control.
// One source of truth for every realisation of the dialog (the Win32 resource script is
// generated from it, and the Qt window is laid out from it).
#pragma once

#include <cstdint>

// Window styles, with the values that Win32 gives them.
namespace style {
inline constexpr std::uint32_t ws_popup = 0x80000000;
inline constexpr std::uint32_t ws_child = 0x40000000;
inline constexpr std::uint32_t ws_visible = 0x10000000;
inline constexpr std::uint32_t ws_disabled = 0x08000000;
inline constexpr std::uint32_t ws_caption = 0x00C00000;
inline constexpr std::uint32_t ws_border = 0x00800000;
inline constexpr std::uint32_t ws_vscroll = 0x00200000;
inline constexpr std::uint32_t ws_hscroll = 0x00100000;
inline constexpr std::uint32_t ws_sysmenu = 0x00080000;
inline constexpr std::uint32_t ws_group = 0x00020000;
inline constexpr std::uint32_t ws_tabstop = 0x00010000;
inline constexpr std::uint32_t ds_modalframe = 0x80;
inline constexpr std::uint32_t ds_setfont = 0x40;
inline constexpr std::uint32_t ds_3dlook = 0x04;
inline constexpr std::uint32_t bs_pushbutton = 0x0;
inline constexpr std::uint32_t bs_groupbox = 0x7;
inline constexpr std::uint32_t bs_autoradiobutton = 0x9;
inline constexpr std::uint32_t bs_center = 0x300;
inline constexpr std::uint32_t ss_left = 0x0;
inline constexpr std::uint32_t cbs_dropdown = 0x2;
inline constexpr std::uint32_t cbs_dropdownlist = 0x3;
inline constexpr std::uint32_t cbs_sort = 0x100;
inline constexpr std::uint32_t es_number = 0x2000;
inline constexpr std::uint32_t lbs_notify = 0x1;
} // namespace style

// Control ids.
enum ControlId : int {
    id_cable_type_label = 101,
    id_cable_type = 102,
    id_hardware_group = 103,
    id_io_address_label = 104,
    id_io_address = 105,
    id_delay = 106,
    id_delay_label = 107,
    id_console = 108,
    id_file_option_group = 109,
    id_chip_id = 110,
    id_operations_group = 111,
    id_erase = 112,
    id_progress = 113,
    id_progress_label = 114,
    id_write = 115,
    id_blank_check = 116,
    id_read = 117,
    id_verify = 118,
    id_abort = 119,
    id_program = 120,
    id_additional_group = 121,
    id_from_start = 122, // the image is the first 262,144 bytes of the file
    id_from_end = 123,   // the image is the last 262,144 bytes of the file
};

enum class ControlClass { button, statik, combobox, edit, listbox, progress };

// The Win32 class name of each ControlClass.
const char* control_class_name(ControlClass control_class);

struct DialogControl {
    int id;
    ControlClass control_class;
    const char* text;        // nullptr: none
    std::uint32_t styles;    // besides ws_child and ws_visible, which every control has
    int x, y, width, height; // dialog units
};

struct DialogTemplate {
    const char* caption;
    const char* font_name;
    int font_points;
    std::uint32_t styles;
    int x, y, width, height;
    const DialogControl* controls; // in template order: creation and keyboard order
    int control_count;
};

extern const DialogTemplate main_dialog_template;

// The display-only combo lists, each ending with an empty entry that stops the fill.
extern const char* const io_address_names[];
extern const char* const cable_type_names[];
