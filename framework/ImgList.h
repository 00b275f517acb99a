/*
 * TImageList: a system image list of 24-bit images with masks. Images are
 * added from bitmaps (AddMasked builds the mask from a colour) and drawn onto
 * a canvas with the mask, so the destination shows through where the mask is
 * set. Change links let users hear about changes; destroying the list clears
 * their Sender.
 */
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "framework/Graphics.h"

class TCustomImageList;

class TChangeLink : public TObject {
public:
    ~TChangeLink() override;
    TCustomImageList* Sender = nullptr;
    TNotifyEvent OnChange;
    virtual void Change();
};

class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* AOwner);
    TCustomImageList(TComponent* AOwner, int AWidth, int AHeight);
    ~TCustomImageList() override;

    int Add(TBitmap* Image, TBitmap* Mask);
    int AddMasked(TBitmap* Image, TColor MaskColor);
    void Replace(int Index, TBitmap* Image, TBitmap* Mask);
    void Delete(int Index);
    void Clear();
    // Draws image Index at (X, Y); a disabled image is drawn greyed.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
    // Copies image Index (on the background colour) into Image.
    void GetBitmap(int Index, TBitmap* Image);
    void RegisterChanges(TChangeLink* Value);
    void UnRegisterChanges(TChangeLink* Value);

    HIMAGELIST GetHandle();
    int GetWidth() const { return width_; }
    void SetWidth(int value);
    int GetHeight() const { return height_; }
    void SetHeight(int value);
    int GetCount() const;
    TColor GetBkColor() const { return bkColor_; }
    void SetBkColor(TColor value);

    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    void create();
    void destroy();
    HIMAGELIST handle_ = nullptr;
    int width_ = 16, height_ = 16;
    TColor bkColor_ = clNone;
    std::vector<TChangeLink*> links_;

public:
    BRIM_READONLY(Handle, TCustomImageList::GetHandle);
    BRIM_PROPERTY(Width, TCustomImageList::GetWidth, TCustomImageList::SetWidth);
    BRIM_PROPERTY(Height, TCustomImageList::GetHeight, TCustomImageList::SetHeight);
    BRIM_READONLY(Count, TCustomImageList::GetCount);
    BRIM_PROPERTY(BkColor, TCustomImageList::GetBkColor, TCustomImageList::SetBkColor);
};

class TImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
};
