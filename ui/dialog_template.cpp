#include "ui/dialog_template.h"

#include <iterator>

namespace {

using namespace style;
constexpr std::uint32_t push = bs_pushbutton | bs_center | ws_tabstop;
constexpr std::uint32_t group_box = bs_groupbox | ws_group;

const DialogControl controls[] = {
    {id_additional_group, ControlClass::button, "Additional Cmd", group_box, 84, 98, 68, 94},
    {id_hardware_group, ControlClass::button, "Hardware Configuration", group_box, 12, 4, 144, 64},
    {id_cable_type_label, ControlClass::statik, "Cable type", ss_left, 16, 35, 48, 8},
    {id_cable_type, ControlClass::combobox, nullptr,
     cbs_dropdownlist | cbs_sort | ws_disabled | ws_tabstop, 68, 34, 80, 42},
    {id_io_address_label, ControlClass::statik, "I/O Address", ss_left, 16, 20, 43, 8},
    {id_delay, ControlClass::edit, "0", es_number | ws_border | ws_tabstop, 68, 50, 80, 12},
    {id_delay_label, ControlClass::statik, "Delay constant", ss_left, 16, 51, 50, 9},
    {id_file_option_group, ControlClass::button, "File read option", group_box, 8, 70, 144, 26},
    // One row of two option buttons inside "File read option", one group.
    {id_from_start, ControlClass::button, "Start of file",
     bs_autoradiobutton | ws_group | ws_tabstop, 16, 81, 60, 10},
    {id_from_end, ControlClass::button, "End of file", bs_autoradiobutton, 84, 81, 60, 10},
    {id_operations_group, ControlClass::button, "Operations", group_box, 8, 98, 68, 94},
    {id_erase, ControlClass::button, "Erase", push, 92, 112, 50, 14},
    {id_write, ControlClass::button, "Write", push, 92, 152, 50, 14},
    {id_read, ControlClass::button, "Read", push, 16, 152, 50, 14},
    {id_abort, ControlClass::button, "Abort", push, 323, 181, 36, 14},
    {id_program, ControlClass::button, "Program", push, 16, 132, 50, 14},
    {id_chip_id, ControlClass::button, "Chip ID", push, 16, 112, 50, 14},
    {id_console, ControlClass::listbox, nullptr,
     lbs_notify | ws_border | ws_vscroll | ws_hscroll | ws_tabstop, 159, 7, 200, 174},
    {id_io_address, ControlClass::combobox, nullptr, cbs_dropdown | ws_disabled | ws_tabstop, 68,
     17, 80, 42},
    {id_progress_label, ControlClass::statik, "Progress", ss_left, 155, 183, 32, 9},
    {id_progress, ControlClass::progress, nullptr, ws_border, 191, 183, 128, 10},
    {id_blank_check, ControlClass::button, "Blank check", push, 92, 132, 50, 14},
    {id_verify, ControlClass::button, "Verify", push, 92, 172, 50, 14},
};

} // namespace

const DialogTemplate main_dialog_template{
    " Velmora Family Programmer V1.0",
    "MS Sans Serif",
    8,
    ws_popup | ws_visible | ws_caption | ws_sysmenu | ds_modalframe | ds_setfont | ds_3dlook,
    -3,
    0,
    367,
    197,
    controls,
    static_cast<int>(std::size(controls)),
};

const char* const io_address_names[] = {"378 (Hex) LPT1:", "278 (Hex) LPT2:", ""};
const char* const cable_type_names[] = {"Velmora Family  Rev.1", "Velmra Famaily Rev.2", ""};

const char* control_class_name(ControlClass control_class) {
    switch (control_class) {
    case ControlClass::button:
        return "BUTTON";
    case ControlClass::statik:
        return "STATIC";
    case ControlClass::combobox:
        return "COMBOBOX";
    case ControlClass::edit:
        return "EDIT";
    case ControlClass::listbox:
        return "LISTBOX";
    case ControlClass::progress:
        return "msctls_progress32";
    }
    return "";
}
