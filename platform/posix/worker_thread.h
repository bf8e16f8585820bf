// The worker thread and its queue on std::thread, for the realisations that have it.
// worker_thread_start, worker_post, worker_take and worker_thread_stop are declared in
// platform/platform.h.
#pragma once

// Whether the worker thread's routine has returned (or no worker was ever started). A
// front end whose dialog thread serves the worker's screen requests posts the quit
// message, keeps serving until this is true, and only then calls worker_thread_stop,
// which joins at once.
bool worker_thread_has_ended();
