// The command worker's thread and its Win32 thread message queue. worker_thread_start,
// worker_post, worker_take and worker_thread_stop are declared in platform/platform.h.
#pragma once

// From now on worker_take hands out no further command: the next take ends the worker as
// the quit message would. The dialog calls it when it is closed while commands are queued.
void worker_drop_queued_commands();
