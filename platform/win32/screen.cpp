// The console, the progress bar, the fields the worker reads and the configuration
// controls, realised with the dialog's controls. Every call is a synchronous
// SendDlgItemMessageA: from the command worker, the dialog thread carries it out.
#include "platform/platform.h"
#include "platform/win32/win32_dialog.h"
#include "ui/dialog_template.h"
#include "ui/feedback.h"
#include "ui/worker.h"

#include <windows.h>

#include <commctrl.h>

#include <cstring>

namespace {

HWND window(void* dialog) {
    return static_cast<HWND>(dialog);
}

// How many whole lines the console shows.
LRESULT visible_lines(HWND console) {
    const LRESULT item_height = SendMessageA(console, LB_GETITEMHEIGHT, 0, 0);
    RECT client{};
    if (item_height <= 0 || !GetClientRect(console, &client)) {
        return 0;
    }
    return (client.bottom - client.top) / item_height;
}

// Whether the line at `index` is in view.
bool line_in_view(HWND console, LRESULT index, LRESULT visible) {
    const LRESULT top = SendMessageA(console, LB_GETTOPINDEX, 0, 0);
    return index >= top && index < top + visible;
}

// The console follows its newest line while the operator has not scrolled away from the
// end: the line just added is scrolled into view at the bottom.
void follow_newest_line(HWND console, LRESULT index, bool was_at_end) {
    const LRESULT visible = visible_lines(console);
    if (!was_at_end || visible <= 0 || line_in_view(console, index, visible)) {
        return;
    }
    const LRESULT top = index - (visible - 1);
    SendMessageA(console, LB_SETTOPINDEX, static_cast<WPARAM>(top > 0 ? top : 0), 0);
}

// A line wider than the console can be scrolled to: the horizontal extent grows with it.
void widen_console_for(HWND dialog, const char* text) {
    const HWND console = GetDlgItem(dialog, id_console);
    const HDC dc = console != nullptr ? GetDC(console) : nullptr;
    if (dc == nullptr) {
        return;
    }
    // WM_GETFONT answers with the font's handle as its result.
    const HGDIOBJ font =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>( // NOLINT(performance-no-int-to-ptr)
                             SendMessageA(console, WM_GETFONT, 0, 0)));
    SIZE size{};
    const bool measured =
        GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size) != 0;
    SelectObject(dc, font);
    ReleaseDC(console, dc);
    const LRESULT extent = SendMessageA(console, LB_GETHORIZONTALEXTENT, 0, 0);
    const LRESULT wanted = static_cast<LRESULT>(size.cx) + 8;
    if (measured && wanted > extent) {
        SendMessageA(console, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(wanted), 0);
    }
}

} // namespace

void screen_console_add(void* dialog, const char* text) {
    const HWND console = GetDlgItem(window(dialog), id_console);
    const LRESULT count = SendMessageA(console, LB_GETCOUNT, 0, 0);
    const bool was_at_end = count <= 0 || line_in_view(console, count - 1, visible_lines(console));
    const LRESULT index = SendDlgItemMessageA(window(dialog), id_console, LB_ADDSTRING, 0,
                                              reinterpret_cast<LPARAM>(text));
    if (index >= 0) {
        widen_console_for(window(dialog), text);
        follow_newest_line(console, index, was_at_end);
    }
}

void screen_progress_set_range(void* dialog, std::uint16_t upper) {
    SendDlgItemMessageA(window(dialog), id_progress, PBM_SETRANGE, 0,
                        static_cast<LPARAM>(static_cast<std::uint32_t>(upper) << 16));
}

void screen_progress_set_position(void* dialog, std::uint16_t position) {
    SendDlgItemMessageA(window(dialog), id_progress, PBM_SETPOS, position, 0);
}

void screen_progress_advance(void* dialog, std::uint16_t delta) {
    SendDlgItemMessageA(window(dialog), id_progress, PBM_DELTAPOS, delta, 0);
}

bool screen_read_delay(void* dialog, std::uint32_t* value) {
    BOOL translated = FALSE;
    const UINT number = GetDlgItemInt(window(dialog), id_delay, &translated, FALSE);
    if (main_dialog_closing()) {
        // The worker has just cleared the abort flag for a command taken as the dialog
        // was closed: that command stops at once too.
        request_abort();
    }
    // GetDlgItemInt takes "12x" as 12 on some systems: the text itself must be a number
    // (the rule of every front end), and the one that GetDlgItemInt read.
    char text[32] = {};
    std::uint32_t parsed = 0;
    GetDlgItemTextA(window(dialog), id_delay, text, sizeof text);
    if (!translated || !parse_delay_text(text, &parsed) || parsed != number) {
        return false;
    }
    *value = number;
    return true;
}

bool screen_option_checked(void* dialog, int id) {
    // The checked bit alone: a checked button that also has the focus is still checked.
    const LRESULT state = SendDlgItemMessageA(window(dialog), id, BM_GETSTATE, 0, 0);
    return (state & BST_CHECKED) != 0;
}

void screen_combo_insert(void* dialog, int id, int index, const char* text) {
    SendDlgItemMessageA(window(dialog), id, CB_INSERTSTRING, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(text));
}

void screen_combo_select(void* dialog, int id, int index) {
    SendDlgItemMessageA(window(dialog), id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void screen_option_check(void* dialog, int id) {
    SendDlgItemMessageA(window(dialog), id, BM_SETCHECK, BST_CHECKED, 0);
}

void platform_sleep_ms(std::uint32_t ms) {
    Sleep(ms);
}
