// The multimedia button TQCLCustomMMButton (published as TQCLMMButton): a
// graphic button that shows, for each button state, a picture of an image
// list and answers mouse hits only on the picture's non-transparent pixels.
//
// Tricky points:
// - A state without a valid picture falls back: disabled-up, hot and
//   drag-over to the up picture; option-set, drop-down, disabled-down to the
//   down picture. Without an up picture nothing is painted at all.
// - The face indices are streamed as 64 raw bytes: the eight image indices
//   (states 0 to 7), then the eight list indices in the order state 7 down
//   to state 0, all 32-bit little-endian (QCLFaceIndicesToBytes). Older
//   layouts held seven states in two other orders and the transparent colour
//   under another name: those are read, never written.
#pragma once

#include "components/controls/QCLGraphicButton.h"
#include "components/controls/QCLSpeedButton.h"

#include <array>
#include <cstdint>
#include <vector>

using TQCLFaceIndices = std::array<TQCLFaceIndex, 8>;
std::vector<uint8_t> QCLFaceIndicesToBytes(const TQCLFaceIndices& Faces);
// False (Faces untouched) unless Bytes holds exactly 64 bytes.
bool QCLFaceIndicesFromBytes(const std::vector<uint8_t>& Bytes, TQCLFaceIndices& Faces);
// The older 56-byte records of states 0 to 6 (state 7 untouched): pairs of
// list and image index, or the seven list indices before the seven image
// indices. False (Faces untouched) for any other size.
bool QCLFaceIndicesFromOlderPairs(const std::vector<uint8_t>& Bytes, TQCLFaceIndices& Faces);
bool QCLFaceIndicesFromOlderLists(const std::vector<uint8_t>& Bytes, TQCLFaceIndices& Faces);

class TQCLCustomMMButton : public TQCLBaseGraphicButton {
public:
    explicit TQCLCustomMMButton(TComponent* AOwner);
    AnsiString ClassName() const override { return "TQCLCustomMMButton"; }

    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DefineProperties(TFiler* Filer) override;
    bool GetEmpty() override { return !faceList_; }
    bool IsMultimedia() const override { return true; }
    bool VerifyTransparency(int X, int Y) override;

    ~TQCLCustomMMButton() override;

    // The pictures; a change of the list repaints the button.
    TQCLCustomImageList* GetButtonFaceImageList() const { return faceList_; }
    void SetButtonFaceImageList(TQCLCustomImageList* Value);
    // How the state's picture fills the button; sbAutosize gives the button
    // the picture's size.
    TQCLBitmapStyle GetButtonFaceStyle() const { return faceStyle_; }
    void SetButtonFaceStyle(TQCLBitmapStyle Value);
    // The image list's drawing flags for the face style, QuickDraw and transparency.
    uint16_t FaceDrawFlags() const;
    TQCLFaceIndex GetButtonFaceIndex(TQCLButtonState State) const { return faces_[State]; }
    void SetButtonFaceIndex(TQCLButtonState State, TQCLFaceIndex Pair);
    bool ButtonFaceIMLEmpty(TQCLButtonState State);
    // The state whose picture a state shows; -1 when none.
    int FaceStateFor(TQCLButtonState State);
    // The transparent colour becomes the face list's colour of the up picture.
    void SetTransCol();
    TColor GetTransparentColor() const { return transColor_; }
    TRect FaceRect() const { return faceRect_; }
    // The face list's palette for the current state's list; unless QuickDraw
    // it is realised in the target before the face is copied there.
    HPALETTE GetPalette() override;

    // How far the caption moves right and down while pressed (no repaint).
    int GetCaptionDown() const { return captionDown_; }
    void SetCaptionDown(int Value) { captionDown_ = Value; }
    // Both repaint the button when they change.
    bool GetForceTransparent() const { return forceTransparent_; }
    void SetForceTransparent(bool Value);
    bool GetQuickDraw() const { return quickDraw_; }
    void SetQuickDraw(bool Value);

    BRIM_PROPERTY(CaptionDown, TQCLCustomMMButton::GetCaptionDown, TQCLCustomMMButton::SetCaptionDown);
    BRIM_PROPERTY(ForceTransparent, TQCLCustomMMButton::GetForceTransparent, TQCLCustomMMButton::SetForceTransparent);
    BRIM_PROPERTY(QuickDraw, TQCLCustomMMButton::GetQuickDraw, TQCLCustomMMButton::SetQuickDraw);

protected:
    void Paint() override;

private:
    void readTransColor(TStream* Stream);
    void faceListChange(TObject*) { Invalidate(); }
    // With sbAutosize: takes the picture's size; true when the size changed.
    bool autosizeTo(const TRect& Item);

    TQCLCustomImageList* faceList_ = nullptr;
    TQCLChangeLink faceLink_;
    TQCLBitmapStyle faceStyle_ = sbNone;
    TQCLFaceIndices faces_{};
    TColor transColor_ = static_cast<TColor>(0xFFFFFF);
    TRect faceRect_;
    int captionDown_ = 1;
    bool forceTransparent_ = true;
    bool quickDraw_ = false;
};

class TQCLMMButton : public TQCLCustomMMButton {
public:
    using TQCLCustomMMButton::TQCLCustomMMButton;
    AnsiString ClassName() const override { return "TQCLMMButton"; }
};
