// SIGINT, SIGTERM and SIGHUP close the window as its close button does: Abort is raised,
// the worker finishes its step, the port is released and the simulated chip saved.
#pragma once

class QWidget;

// Before Qt starts: installs the handlers. A signal that comes before the window exists
// is kept and closes the window as soon as it is shown.
bool watch_stop_signals();

// Closes `window` when a stop signal comes (or came).
void close_on_stop_signal(QWidget* window);
