// Form background fill: takes over the owner form's background erasing
// through its window hook. This base paints through an owner-draw event;
// TQCLBack (QCLBack.h) tiles a picture of an image list.
//
// Tricky points:
// - WM_ERASEBKGND is answered (1, the form's own erasing skipped) only when
//   PaintClientArea painted; otherwise the form erases as usual.
// - Resizing and scrolling invalidate without erasing, so the next paint's
//   WM_ERASEBKGND repaints the background once.
// - The image list is held through a change link that is detached before
//   the component goes; a freed list is forgotten. A global list is stored
//   as the layout property "Internal".
#pragma once

#include "components/runtime/QCLWndProcComponent.h"
#include "components/runtime/Qclgraph.h"
#include "components/runtime/qclcont.h"

class TQCLCustomFormFill : public TQCLWndProcComponent {
public:
    explicit TQCLCustomFormFill(TComponent* AOwner);
    ~TQCLCustomFormFill() override;

    TQCLCustomImageList* GetImageList() const { return imageList_; }
    void SetImageList(TQCLCustomImageList* value);
    int GetImageIndex() const { return imageIndex_; }
    int GetListIndex() const { return listIndex_; }
    // Which 0 ImageIndex, 1 ListIndex; negative or unchanged values do nothing.
    void SetIndex(int Which, int Value);
    void SetImageIndex(int value) { SetIndex(0, value); }
    void SetListIndex(int value) { SetIndex(1, value); }
    TQCLPaintMode GetPaintMode() const { return paintMode_; }
    void SetPaintMode(TQCLPaintMode value);

    BRIM_PROPERTY(ImageList, TQCLCustomFormFill::GetImageList, TQCLCustomFormFill::SetImageList);
    BRIM_PROPERTY(ImageIndex, TQCLCustomFormFill::GetImageIndex, TQCLCustomFormFill::SetImageIndex);
    BRIM_PROPERTY(ListIndex, TQCLCustomFormFill::GetListIndex, TQCLCustomFormFill::SetListIndex);
    BRIM_PROPERTY(PaintMode, TQCLCustomFormFill::GetPaintMode, TQCLCustomFormFill::SetPaintMode);

    bool DefaultFill = true;
    TQCLPaintEvent OnPaint;

    void Init() override;
    void RestoreState() override;
    void WndProc(TMessage& Message) override;
    void GetChange(TObject* Sender) override;
    virtual void GetIMLChange(TObject* Sender);
    // True when it painted the client area on the DC.
    virtual bool PaintClientArea(HDC DC);
    // No list, or no valid item at ListIndex, ImageIndex.
    bool IMLEmpty() const;
    void Invalidate(bool Erase);
    void DefineProperties(TFiler* Filer) override;
    bool GetResized() const { return resized_; }

    AnsiString ClassName() const override { return "TQCLCustomFormFill"; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    TWinControl* form() const { return GetOwnerForm(); }

private:
    void readIdent(TReader* Reader);
    void writeIdent(TWriter* Writer);

    TQCLCustomImageList* imageList_ = nullptr;
    int imageIndex_ = 0;
    int listIndex_ = 0;
    TQCLChangeLink link_;
    TQCLPaintMode paintMode_ = pcControl;
    bool resized_ = false;
    bool eraseOnResize_ = false;
};
