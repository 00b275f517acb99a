// Outline-drag moving and resizing of borderless windows; see ZM_ResizeRect.h.
#include "skin/ZM_ResizeRect.h"

ZM_ResizeRect::ZM_ResizeRect(TCustomForm* form, int minWidth, int minHeight)
    : screenDC(nullptr), minWidth(minWidth), minHeight(minHeight), form(form) {}

void ZM_ResizeRect::disable() {
    if (enabled && dragging) {
        drawOutline();
        dragging = false;
    }
    enabled = false;
}

void ZM_ResizeRect::drawOutline() {
    if (!enabled) return;
    form->Update();
    RECT frame = outline;
    DrawFocusRect(screenDC.get(), &frame);
    InflateRect(&frame, -2, -2);
    DrawFocusRect(screenDC.get(), &frame);
}

void ZM_ResizeRect::beginDrag(BYTE edgeCode, int x, int y) {
    if (!enabled || dragging) return;
    dragging = true;
    lastX = x;
    lastY = y;
    TPoint origin = form->GetClientOrigin();
    outline = Bounds(origin.x, origin.y, form->GetClientWidth(), form->GetClientHeight());
    drawOutline();
    edge = edgeCode;
}

void ZM_ResizeRect::trackDrag(int x, int y) {
    if (!enabled || !dragging) return;
    drawOutline();
    int dx = x - lastX, dy = y - lastY;
    lastX = x;
    lastY = y;
    moveSides(dx, dy);
    drawOutline();
}

void ZM_ResizeRect::moveSides(int dx, int dy) {
    switch (edge) {
    case reTopLeft: outline.Left += dx; outline.Top += dy; break;
    case reTopRight: outline.Right += dx; outline.Top += dy; break;
    case reBottomLeft: outline.Left += dx; outline.Bottom += dy; break;
    case reBottomRight: outline.Right += dx; outline.Bottom += dy; break;
    case reTop: outline.Top += dy; break;
    case reBottom: outline.Bottom += dy; break;
    case reLeft: outline.Left += dx; break;
    case reRight: outline.Right += dx; break;
    default:
        outline.Left += dx;
        outline.Right += dx;
        outline.Top += dy;
        outline.Bottom += dy;
        break;
    }
}

void ZM_ResizeRect::endDrag(int a, int b) {
    if (!enabled || !dragging) return;
    dragging = false;
    drawOutline();
    int width = outline.Width(), height = outline.Height();
    int x = outline.Left, y = outline.Top;
    const TPoint origin = form->GetClientOrigin();
    const int clientWidth = form->GetClientWidth(), clientHeight = form->GetClientHeight();
    if (minWidth != -1 && width < minWidth) {
        width = minWidth;
        x = origin.x;
        bool leftSideMoved = edge == reTopLeft || edge == reBottomLeft || edge == reLeft;
        if (leftSideMoved && clientWidth > minWidth) x += clientWidth - minWidth;
    }
    if (minHeight != -1 && height < minHeight) {
        height = minHeight;
        y = origin.y;
        bool topSideMoved = edge == reTopLeft || edge == reTopRight || edge == reTop;
        if (topSideMoved && clientHeight > minHeight) y += clientHeight - minHeight;
    }
    if (a != 0) {
        int shrink = clientWidth - width;
        if (shrink > 0 && b - shrink < a) {
            int d = a - (b - shrink) + 1;
            width += d;
            x -= d;
        }
    }
    MoveWindow(form->GetHandle(), x, y, width, height, TRUE);
    lastX = lastY = 0;
}
