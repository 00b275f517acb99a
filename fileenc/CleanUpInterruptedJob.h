/*
 * The clean-up of an interrupted file job, run once at start-up: the job
 * record names the one file such a job may have left half-written (a partial
 * .vltenc, a half-wiped plain file, a temporary plain output), and that file
 * is wiped and deleted.
 *
 * The record alone cannot tell an interrupted job from one that another
 * Brimsafe process is running right now, so the clean-up acts only when it can
 * take the job lock without waiting, and reads the record again under the lock,
 * where it is final (a job may have ended between the first look and then).
 */
#pragma once

enum class CleanUpResult {
    NothingToDo,       // no record, "done", or no file named
    JobStillRunning,   // another process holds the job lock; the record is left alone
    Wiped,             // the named file was wiped and deleted
    WipeFailed,        // the wipe could not complete (the file was missing, locked, ...)
};

// At start-up: wipes and deletes the file of an interrupted job, unless a job is running.
CleanUpResult CleanUpInterruptedJob();
