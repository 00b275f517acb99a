/*
 * Where a journey's synthesized input goes, for finding a press that did not
 * land. The state read before a press (what is in front, what the pointed-at
 * window's thread has active, focused and captured, whether it takes input)
 * is always at hand for the line a second try prints; with BRIM_INPUT_TRACE
 * set (any value) every press and key is also written, with that state, to
 * <build>/acceptance/<journey>-input.log, together with
 * - each input event as the system delivered it (a low-level hook of this
 *   process: the point, and whether it was synthesized or came from the
 *   display), and
 * - each mouse and key message the driven programs took from their queues,
 *   and their activation, focus and capture changes (a hook in the small
 *   acceptance_input_trace.dll, which the system loads into them).
 *
 * The low-level mouse hook is always set, trace or not: the programs report
 * the display's own pointer back as moves of their own, late under load, and
 * a press waits until they have reported it where the press goes (Harness.cpp).
 *
 * Tricky points:
 * - The low-level hooks run in a thread of their own that only pumps
 *   messages: the system holds every input event until the hook returns.
 * - The programs started after the trace began inherit the log's path
 *   (BRIM_INPUT_TRACE_LOG); each line starts with the tick count and the
 *   process id, so the lines of all processes sort into one time line.
 * - Off by default: the program hooks and the log slow every input event down.
 */
#pragma once

#include <windows.h>

#include <string>

namespace acc {

// A window as the trace names it: handle, text and class ("nothing" for none).
std::string traceName(HWND window);
// What decides where input at this point lands, in one line.
std::string inputStateAt(POINT at);
// What decides where keys land: the window in front and its thread's focus.
std::string keyboardState();

bool inputTraceOn();
// Starts watching the display's pointer reports, and the trace for the current journey when
// BRIM_INPUT_TRACE is set (once per journey).
void startInputTrace();
// Whether the last pointer position a program reported from the display is this point.
bool displayPointerAt(POINT at);
// One line in the trace (nothing when it is off).
void traceLine(const std::string& text);

}  // namespace acc
