/*
 * The control map: every form answers, from any process, where one of its
 * controls is, by the control's name. It is the framework's automation
 * facility (screen readers, macro tools, the acceptance journeys): always
 * there, no switch turns it on.
 *
 * A query is the registered window message ControlMapMessageName sent to the
 * form's window: WPARAM says what is asked (TControlMapQuery), LPARAM is a
 * global atom holding the name. The asker adds the atom and deletes it after
 * the answer; the form only reads it.
 *
 * A name finds, in this order: the component of that Name owned by the form
 * (or by one of its components, depth first in creation order); else the
 * control whose caption is exactly that text; else the control whose hint is
 * that text; else "Class#n", the n-th (from 1) control of that class name in
 * the same walk. So a user-visible text reaches controls nobody named. Of
 * several controls that match at one stage, the first one showing wins (a box
 * with a hidden and a shown "Ok" answers with the shown one).
 *
 * Answers (0 always means "no such control"):
 *  - cmqHandle: the control's own window handle (0 for a windowless one);
 *  - cmqTopLeft / cmqBottomRight: a corner of its bounds in screen
 *    coordinates, each coordinate biased by 0x8000 into 16 bits, packed as
 *    MAKELONG(x, y); ControlMapUnpack turns it back into a point;
 *  - cmqState: cmsFound, plus cmsShowing and cmsEnabled when so.
 *
 * Windowed controls also carry their name: the window property
 * ControlMapNameProperty holds a global atom of the component's Name (kept
 * through renames; unnamed controls carry none), read from any process with
 * ControlMapNameOfWindow.
 *
 * Tricky points:
 *  - A windowless control's bounds come from its parent's client origin; a
 *    control whose parent has no window yet has no bounds (answer 0).
 *  - The answer is computed on the form's thread inside its window procedure:
 *    a form in a modal loop answers too.
 */
#pragma once

#include <windows.h>

#include <string>

class TComponent;
class TControl;
class TCustomForm;
struct TMessage;

constexpr const char* ControlMapMessageName = "BrimFrameworkControlMap";

enum TControlMapQuery : WPARAM { cmqHandle = 1, cmqTopLeft = 2, cmqBottomRight = 3, cmqState = 4 };
enum TControlMapState : LRESULT { cmsFound = 1, cmsShowing = 2, cmsEnabled = 4 };

constexpr const char* ControlMapNameProperty = "BrimFrameworkName";

// The registered message number (the same in every process of the session).
UINT ControlMapMessage();

// The component a name finds on a form (see above), or null.
TComponent* ControlMapFind(TCustomForm* form, const std::string& name);

// Answers a query the form received; true when Message was one.
bool ControlMapAnswer(TCustomForm* form, TMessage& Message);

// Tags a control's new window with its name, and takes the tag off before the window goes.
void ControlMapTagWindow(HWND window, const std::string& name);
void ControlMapUntagWindow(HWND window);
// The name a window carries ("" for none), from any process.
std::string ControlMapNameOfWindow(HWND window);

// Packs a screen point the way cmqTopLeft and cmqBottomRight answer, and back.
LRESULT ControlMapPack(POINT point);
POINT ControlMapUnpack(LRESULT packed);
