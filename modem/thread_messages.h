// The message pump of worker threads: every waiting loop of the modem side calls it, so the
// thread's queue never fills, and a thread that was sent TMSG_STOP_THREAD learns it.
#pragma once

// True while the calling thread may go on; false from the moment it was told to stop, on that
// call and every later one, and once the program stops its work (the stop flag).
bool PumpThreadMessages();

// What the last pump learnt, without touching the queue: true when the calling thread was told
// to stop or the program stops. Cheap enough for every turn of a waiting loop.
bool StopRequested();
