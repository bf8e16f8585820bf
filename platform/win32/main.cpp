// velmora.exe: the programmer on the parallel port. A console program; the command line
// is not read.
#include "platform/win32/win32_dialog.h"

int main() {
    return run_main_dialog();
}
