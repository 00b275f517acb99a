/*
 * The skeleton every dialog stands on, built in code: a borderless window
 * with a rounded region, the skin's title bar, edges and corners, the title
 * text and icon, the cream content panel, and the outline-drag mover fed by
 * the title bar, the title text and the title icon alike.
 *
 * Tricky points:
 * - The window text is the class name without its "T" (the framework names
 *   the form); the title the user reads is MessageTitle: bold white text in
 *   the library label's sunken 3D style with black light and shadow, so each
 *   stroke has a black copy one pixel below and right of it.
 * - A mouse-up that still reports the left button held keeps the drag going.
 * - A dialog that changes its own size calls SetWindowRegion again; the others
 *   keep the region made at creation.
 * - Placement: OwnerCentred falls back to the screen when the owner is hidden
 *   (the framework's owner-centring does that), ScreenCentred always centres
 *   on the screen.
 */
#pragma once

#include "dialogs/DialogControls.h"
#include "framework/Framework.h"
#include "skin/ImagePanel.h"
#include "skin/Tranimag.h"
#include "skin/ZM_ResizeRect.h"
#include "skin/xpButton.h"

#include <memory>

enum class DialogPlacement { OwnerCentred, ScreenCentred };

class TSkinnedDialog : public TForm {
public:
    static constexpr TColor FormColor = 7552805;   // dark blue
    static constexpr TColor PanelColor = 15727612;  // pale cream

    TSkinnedDialog(TComponent* AOwner, const AnsiString& title, int clientWidth, int clientHeight,
                   DialogPlacement placement, TColor iconKey = FormColor);
    ~TSkinnedDialog() override;

    // A rounded rectangle from (0, 0) to (width + 1, height + 1), 15 x 15 corners, as the window's region.
    void SetWindowRegion(int width, int height);

    bool DraggingTitleForTesting() const { return DraggingTitle; }

    TImagePanel* ImagePanelTitleBar;
    TImagePanel* ImagePanelLeftSide;
    TImagePanel* ImagePanelRightSide;
    TImagePanel* ImagePanelBottomSide;
    TImage* ImageTL;
    TImage* ImageTR;
    TImage* ImageBL;
    TImage* ImageBR;
    TImage* Image1;
    TImage* Image3;
    DialogLabel* MessageTitle;
    TTranImage* ImageInfo;
    TPanel* Panel1;

protected:
    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void ImagePanelTitleBarMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ImagePanelTitleBarMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void ImagePanelTitleBarMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    // Builders for the content panel (coordinates in the panel).
    TxpButton* addButton(const char* caption, int left, int top, int width = 75);
    DialogLabel* addLabel(const char* caption, int left, int top, int fontHeight = -13);
    // A word-wrapped label of the given width whose height follows the text.
    DialogLabel* addText(const char* caption, int left, int top, int width, int fontHeight = -13);
    // A 21-pixel-high library edit.
    TQCLEdit* addEdit(int left, int top, int width);
    // A library edit masked with "*", up to 4,096 characters, all selected when it takes the focus.
    TQCLEdit* addPasswordEdit(int left, int top, int width);
    // Places a button whose left is given in form coordinates.
    void placeButtonAtFormLeft(TxpButton* button, int formLeft);

    std::unique_ptr<ZM_ResizeRect> ResizeRect;
    bool DraggingTitle = false;

private:
    TImage* corner(int picture);
};
