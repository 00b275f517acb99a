/*
 * ZM_ResizeRect: moving and resizing a borderless skinned window by hand.
 * While the user drags the title bar, a corner or an edge, a dotted outline of
 * the window's future place is drawn straight on the screen; the window moves
 * only when the mouse button is released.
 *
 * A form owns one and feeds it from its mouse handlers: beginDrag on a left
 * press (with the edge code), trackDrag on each move while dragging, endDrag
 * (0, 0) on the release. The positions may be in any coordinate space that
 * stays the same during one drag; only their differences count.
 *
 * Tricky points:
 * - The outline is two focus rectangles (the outline and the outline inset by
 *   2) drawn by XOR on the screen's DC: drawing it again erases it, so every
 *   drawn outline is drawn exactly once more before the drag ends.
 * - A minimum size keeps the opposite edge where it was: shrinking below it
 *   from the left or the top moves that side back, not the right or bottom.
 * - Disabling during a drag erases the outline and abandons the drag, so no
 *   dotted frame stays on the screen.
 */
#pragma once

#include "framework/Forms.h"
#include "framework/Win32Handles.h"

// Edge codes: which sides of the outline follow the mouse.
enum ZM_ResizeEdge : BYTE {
    reTopLeft = 0,
    reTopRight = 1,
    reBottomLeft = 2,
    reBottomRight = 3,
    reMove = 5,
    reTop = 6,
    reBottom = 7,
    reLeft = 8,
    reRight = 9,
};

class ZM_ResizeRect {
public:
    // -1 for no minimum width or height.
    ZM_ResizeRect(TCustomForm* form, int minWidth, int minHeight);
    ~ZM_ResizeRect() = default;
    ZM_ResizeRect(const ZM_ResizeRect&) = delete;
    ZM_ResizeRect& operator=(const ZM_ResizeRect&) = delete;

    void enable() { enabled = true; }
    void disable();
    void beginDrag(BYTE edgeCode, int x, int y);
    void trackDrag(int x, int y);
    // a and b widen a shrunk window by a margin; every caller passes 0, 0.
    void endDrag(int a, int b);
    // Draws the outline once (drawing it again erases it).
    void drawOutline();

    bool isDraggingForTesting() const { return dragging; }
    TRect outlineForTesting() const { return outline; }

private:
    void moveSides(int dx, int dy);

    TRect outline;
    win32::WindowDC screenDC;
    int lastX = 0, lastY = 0;
    int minWidth, minHeight;
    TCustomForm* form;
    bool enabled = true;
    bool dragging = false;
    BYTE edge = reMove;
};
