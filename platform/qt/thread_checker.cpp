// For builds with the thread checker (ThreadSanitizer): Qt's libraries, and GLib whose
// threads Qt's file dialog starts, are not built for it, so the order that their own locks
// and thread pools give is invisible to it, and it would report their inner workings (the
// painter's worker threads freeing what the dialog thread allocated) as races. Accesses
// made by their code are left out; every access of ours is still checked, the hand-over
// of the worker's requests included.
#if defined(__SANITIZE_THREAD__)
extern "C" const char* __tsan_default_suppressions() {
    return "called_from_lib:libQt6Core.so.6\n"
           "called_from_lib:libQt6Gui.so.6\n"
           "called_from_lib:libQt6Widgets.so.6\n"
           "called_from_lib:libglib-2.0.so.0\n";
}
#endif
