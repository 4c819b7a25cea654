// Worker threads by number, recursive mutexes, and pauses.
//
// rt_thread_create starts a procedure on a new thread at once and names the
// thread by a number handed out in sequence from 1 and never reused while the
// process runs (0 = no thread). A process-wide table, under one lock, keeps
// what is known about threads still running; a thread that has ended leaves
// the table at the next rt_thread_create. Threads are never stopped from
// outside: the application asks its workers to end through flags, and
// threads still running at process end are simply left behind.
//
// A mutex is recursive: its owner may lock it again and needs one unlock per
// lock. The creator frees it with rt_mutex_free once no thread uses it; a
// null mutex is ignored by every call.
//
// All calls may be made from any thread.
#pragma once
#include <cstdint>

using RtThreadProc = void (*)(intptr_t parameter);

// Starts procedure(parameter) on a new thread; its number, 0 on failure.
int rt_thread_create(RtThreadProc procedure, intptr_t parameter);
// 1 while the thread runs; 0 when it has ended or the number is unknown.
int rt_thread_is_running(int thread);
// Waits without time-out until the thread has ended; nonzero then (also when
// it had ended long before). 0 for a number never handed out, and for a
// thread waiting for itself, which could never return.
int rt_thread_wait(int thread);

struct RtMutex;
// A new unlocked mutex, owned by the caller until rt_mutex_free.
RtMutex* rt_mutex_create();
// Returns when the calling thread owns the mutex.
void rt_mutex_lock(RtMutex* mutex);
void rt_mutex_unlock(RtMutex* mutex);
// Frees a mutex nobody holds.
void rt_mutex_free(RtMutex* mutex);

// The calling thread gives way to threads of normal priority whenever both
// want a processor (background work that nobody waits for). For good: it
// cannot raise itself again.
void rt_thread_lower_priority();

// Sleeps the calling thread for milliseconds (0 or less: gives up its turn).
void rt_delay(int milliseconds);

// Ends the process with code at once, running no destructors and waiting
// for no thread: for an end that a thread held up in the system must not
// hold up, once everything worth keeping is written.
void rt_process_end_now(int code);
