/*
 * The main window's frame: its grips move and size it through the resize
 * rectangle, the title buttons maximise, restore and minimise it, every size
 * change keeps the rounded region and the editor side's minimum, and the
 * splitter between the left panel and the editor panel stays within limits.
 *
 * Tricky points:
 * - A grip's drag flag follows the left button, not the press: a release
 *   with the button still down (another button let go) keeps the drag.
 * - The title bar's double click arrives before its second press; that press
 *   must not start a new drag.
 * - Maximising fills the work area plus one pixel each way; when the work
 *   area cannot be read nothing changes at all (resizing stays enabled).
 * - The editor side's minimum is applied with the body's width after the
 *   change, so shrinking the window never squeezes the editor below it.
 * - The size change is asked before it happens: the empty-category help
 *   texts are fitted to the width their panel is about to take.
 */
#include "app/QZ_Frm_Main.h"

#include "framework/ScrollBox.h"
#include "skin/KTransButton.h"
#include "skin/ZM_ResizeRect.h"

namespace {

constexpr int kMinWidth = 670, kMinHeight = 500;
constexpr int kMinEditorSide = 237;  // Panel3 less Panel2
constexpr int kMinSplitter = 300;
constexpr int kEditorKept = 236;  // Panel1 when the splitter grows the left panel
constexpr int kHelpMargins = 24;  // the empty-category help texts stand 12 pixels in from each side

}  // namespace

void TFormMain::wireGrip(TControl* grip, bool& flag, BYTE edgeCode) {
    grip->OnMouseDown = [this, &flag, edgeCode](TObject*, TMouseButton, TShiftState Shift, int X, int Y) {
        if (Shift.Contains(ssDouble)) return;
        flag = Shift.Contains(ssLeft);
        if (flag && ResizeRect) ResizeRect->beginDrag(edgeCode, X, Y);
    };
    grip->OnMouseMove = [this, &flag](TObject*, TShiftState, int X, int Y) {
        if (flag && ResizeRect) ResizeRect->trackDrag(X, Y);
    };
    grip->OnMouseUp = [this, &flag](TObject*, TMouseButton, TShiftState Shift, int, int) {
        flag = Shift.Contains(ssLeft);
        if (!flag && ResizeRect) ResizeRect->endDrag(0, 0);
    };
}

void TFormMain::titleDoubleClick(TObject*) {
    if (DraggingTitle && WindowStateFlag != '^') {
        DraggingTitle = false;
        if (ResizeRect) ResizeRect->endDrag(0, 0);
    }
    KTransMaxButtonMouseRelease(this);
}

void TFormMain::KTransMaxButtonMouseRelease(TObject*) {
    if (WindowStateFlag != '^') {
        RECT work{};
        const bool known = WorkAreaQueryForTesting ? WorkAreaQueryForTesting(work)
                                                   : SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) != FALSE;
        if (!known) return;
        OldTop = Top;
        OldLeft = Left;
        OldHeight = Height;
        OldWidth = Width;
        OldSplitter = Panel2->Width;
        if (ResizeRect) ResizeRect->disable();
        ImageResizeTab->Visible = false;
        WindowStateFlag = '^';
        KTransRestoreButton->Visible = true;
        SetBounds(work.left, work.top, work.right - work.left + 1, work.bottom - work.top + 1);
    } else {
        WindowStateFlag = 'v';
        KTransRestoreButton->Visible = false;
        SetBounds(OldLeft, OldTop, OldWidth, OldHeight);
        Panel2->Width = OldSplitter;
        Repaint();
        if (ResizeRect) ResizeRect->enable();
        ImageResizeTab->Visible = true;
    }
}

void TFormMain::KTransButton5MouseRelease(TObject*) {
    if (Application) Application->Minimize();
}

void TFormMain::FormCanResize(TObject*, int& NewWidth, int& NewHeight, bool& Resize) {
    if (NewWidth < kMinWidth) NewWidth = kMinWidth;
    if (NewHeight < kMinHeight) NewHeight = kMinHeight;
    const int oldLeftPanel = Panel2 ? Panel2->Width : 0;
    setWindowRegion(NewWidth, NewHeight);
    if (Panel3 && Panel2) {
        const int bodyWidth = Panel3->Width + (NewWidth - Width);
        if (bodyWidth - Panel2->Width < kMinEditorSide) Panel2->Width = bodyWidth - kMinEditorSide;
    }
    // The help texts wrap at the width the panel is about to take.
    if (Panel5 && Panel5->Visible) {
        const int panelWidth = Panel5->Width + (NewWidth - Width) - ((Panel2 ? Panel2->Width : 0) - oldLeftPanel);
        fitHelpLabels(panelWidth);
    }
    Resize = true;
}

void TFormMain::fitHelpLabels(int panelWidth) {
    if (Label1) Label1->SetBounds(Label1->Left, Label1->Top, panelWidth - kHelpMargins, Label1->Height);
    if (Label5) Label5->SetBounds(Label5->Left, Label5->Top, panelWidth - kHelpMargins, Label5->Height);
    for (TLabel* label : HelpLabels) label->SetBounds(label->Left, label->Top, panelWidth - kHelpMargins, label->Height);
}

void TFormMain::setWindowRegion(int width, int height) {
    if (!HandleAllocated()) return;
    HRGN region = CreateRoundRectRgn(0, 0, width + 1, height + 1, 15, 15);
    // The window owns the region once it has taken it.
    if (region && !SetWindowRgn(GetHandle(), region, TRUE)) DeleteObject(region);
}

int TFormMain::limitSplitterSize(int proposed, int current, int editorWidth) {
    if (proposed < kMinSplitter) return kMinSplitter;
    const int growth = proposed - current;
    if (growth > 0 && editorWidth - growth < kEditorKept - 1) return current + editorWidth - kEditorKept;
    return proposed;
}

void TFormMain::SplitterMainCanResize(TObject*, int& NewSize, bool& Accept) {
    NewSize = limitSplitterSize(NewSize, Panel2->Width, Panel1->Width);
    Accept = true;
}

TPoint TFormMain::splitterPicturePosition(int clientWidth, int clientHeight, int pictureWidth, int pictureHeight) {
    return TPoint(clientWidth / 2 - pictureWidth / 2 - 1, clientHeight / 2 - pictureHeight / 2);
}

void TFormMain::SplitterMainPaint(TObject*) {
    TBitmap* picture = ImageSplitter->GetPicture()->GetBitmap();
    const TPoint at = splitterPicturePosition(SplitterMain->ClientWidth, SplitterMain->ClientHeight,
                                              picture->GetWidth(), picture->GetHeight());
    SplitterMain->Canvas->Draw(at.x, at.y, picture);
}
