/*
 * TLabelWindow: a real child window laid exactly over a windowless label, so
 * that the label's text is a window text like any other. Screen readers,
 * automation tools and other processes read it with GetWindowText and
 * EnumChildWindows, with no message of our own.
 *
 * The window shows what its parent draws there: it paints the parent's
 * background and windowless controls (the label among them) into itself, so
 * the look is the same pixel for pixel as with no window at all.
 *
 * Tricky points:
 * - The parent clips its windowed children, so the label would vanish under
 *   the window if the window did not paint the parent's pixels itself.
 * - It is transparent to the mouse (HTTRANSPARENT): a press goes on to the
 *   parent and so to the label below, whose own handlers (dragging by the
 *   title) keep working. It never takes the focus.
 * - It does not watch the label: whoever changes the label calls Follow
 *   afterwards, which takes the label's text and bounds and repaints.
 */
#pragma once

#include "framework/Controls.h"

class TLabelWindow : public TWinControl {
public:
    explicit TLabelWindow(TComponent* AOwner);
    AnsiString ClassName() const override { return "TLabelWindow"; }

    // Takes the label's text and bounds (the label must have the same parent) and repaints.
    void Follow(TControl* label);

protected:
    void Dispatch(TMessage& Message) override;

private:
    void paintParentBelow(HDC dc);
};
