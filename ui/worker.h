// The command worker: the thread that runs every chip operation, one command at a time.
#pragma once

#include <cstdint>

// The worker thread's routine: takes commands from its queue until the queue ends.
void command_worker();
