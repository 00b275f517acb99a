/*
 * The two thread routines of a file job. Each takes the job record
 * (FileEncryptionJob*) as its argument, runs one job, reports only through
 * the messages it posts to the job's window and through the registry record,
 * and returns 0. Exactly one WM_FILEJOB_FAILED ends a failed job; a
 * successful one ends with PROGRESS(100) and, after the finishing pause, DONE.
 *
 * Encryption: the body is written behind a 512-byte gap, the header last, the
 * .vltenc flushed, and only then, once the record names the plain file
 * instead of the .vltenc, is the plain file wiped. The plain file is
 * opened without write sharing and at most its starting length is read, so a
 * file that another program changes is refused instead of being wiped with a
 * copy that would not decrypt.
 *
 * Decryption: the plain output goes to a temporary file in the plain path's
 * folder, which the job record names while it is written. Only once it is
 * complete, flushed and matches the digest does it replace the plain path, so
 * a file already there survives every failure unchanged. "done" is recorded
 * after the replace and before the .vltenc is deleted, so an interruption, a
 * write that fails on its way to the disk or a record that cannot be written
 * leaves the encrypted copy instead of nothing. A header or body that cannot
 * be right (bad magic, damaged chunk size, short body) ends the job with its
 * outcome and the temporary output wiped.
 */
#pragma once

#include <windows.h>

DWORD WINAPI EncryptFunc(LPVOID job);
DWORD WINAPI DecryptFunc(LPVOID job);
