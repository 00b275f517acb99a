// The multimedia button; see QCLMMButton.h.
#include "components/controls/QCLMMButton.h"

#include "components/runtime/Qclutils.h"
#include "components/runtime/qclcont.h"
#include "framework/Filer.h"

#include <algorithm>

namespace {

void put32(std::vector<uint8_t>& out, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

int32_t get32(const std::vector<uint8_t>& in, size_t at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(in[at + static_cast<size_t>(i)]) << (8 * i);
    return static_cast<int32_t>(v);
}

}  // namespace

std::vector<uint8_t> QCLFaceIndicesToBytes(const TQCLFaceIndices& Faces) {
    std::vector<uint8_t> out;
    for (int s = 0; s < 8; ++s) put32(out, Faces[static_cast<size_t>(s)].ImageIndex);
    for (int s = 7; s >= 0; --s) put32(out, Faces[static_cast<size_t>(s)].ListIndex);
    return out;
}

bool QCLFaceIndicesFromBytes(const std::vector<uint8_t>& Bytes, TQCLFaceIndices& Faces) {
    if (Bytes.size() != 64) return false;
    for (int s = 0; s < 8; ++s) {
        Faces[static_cast<size_t>(s)].ImageIndex = get32(Bytes, static_cast<size_t>(4 * s));
        Faces[static_cast<size_t>(s)].ListIndex = get32(Bytes, static_cast<size_t>(32 + 4 * (7 - s)));
    }
    return true;
}

bool QCLFaceIndicesFromOlderPairs(const std::vector<uint8_t>& Bytes, TQCLFaceIndices& Faces) {
    if (Bytes.size() != 56) return false;
    for (size_t s = 0; s < 7; ++s) Faces[s] = QCLFaceIndex(get32(Bytes, 8 * s), get32(Bytes, 8 * s + 4));
    return true;
}

bool QCLFaceIndicesFromOlderLists(const std::vector<uint8_t>& Bytes, TQCLFaceIndices& Faces) {
    if (Bytes.size() != 56) return false;
    for (size_t s = 0; s < 7; ++s) Faces[s] = QCLFaceIndex(get32(Bytes, 4 * s), get32(Bytes, 28 + 4 * s));
    return true;
}

namespace {

std::vector<uint8_t> allOf(TStream* Stream) {
    std::vector<uint8_t> bytes(static_cast<size_t>(Stream->GetSize() - Stream->GetPosition()));
    if (!bytes.empty()) Stream->ReadBuffer(bytes.data(), static_cast<int>(bytes.size()));
    return bytes;
}

}  // namespace

TQCLCustomMMButton::TQCLCustomMMButton(TComponent* AOwner) : TQCLBaseGraphicButton(AOwner) {
    TControlStyle style = GetControlStyle();
    style >> csClickEvents;
    style << csOpaque << csReplicatable;
    SetControlStyle(style);
}

TQCLCustomMMButton::~TQCLCustomMMButton() {
    if (faceList_) faceList_->UnRegisterChanges(&faceLink_);
}

void TQCLCustomMMButton::Notification(TComponent* AComponent, TOperation Operation) {
    TQCLBaseGraphicButton::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == faceList_) {
        faceList_->UnRegisterChanges(&faceLink_);
        faceList_ = nullptr;
    }
}

void TQCLCustomMMButton::DefineProperties(TFiler* Filer) {
    TQCLBaseGraphicButton::DefineProperties(Filer);
    Filer->DefineProperty(
        "ButtonFace",
        TReaderProc([this](TReader* reader) {
            if (TQCLCustomImageList* list = QCLReadGlobalIdent(reader)) SetButtonFaceImageList(list);
        }),
        TWriterProc([this](TWriter* writer) { QCLWriteGlobalIdent(writer, faceList_); }), QCLIsGlobalIdent(faceList_));
    // A record of the wrong size is ignored: the faces stay as they were.
    Filer->DefineBinaryProperty(
        "ButtonFaceIndicesNew2", TStreamProc([this](TStream* s) { QCLFaceIndicesFromBytes(allOf(s), faces_); }),
        TStreamProc([this](TStream* s) {
            std::vector<uint8_t> bytes = QCLFaceIndicesToBytes(faces_);
            s->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
        }),
        true);
    Filer->DefineBinaryProperty(
        "ButtonFaceTransColNew", TStreamProc([this](TStream* s) { readTransColor(s); }),
        TStreamProc([this](TStream* s) {
            int32_t value = static_cast<int32_t>(transColor_);
            s->WriteBuffer(&value, 4);
        }),
        true);
    Filer->DefineBinaryProperty(
        "ButtonFaceIndices", TStreamProc([this](TStream* s) { QCLFaceIndicesFromOlderPairs(allOf(s), faces_); }),
        TStreamProc(), false);
    Filer->DefineBinaryProperty(
        "ButtonFaceIndicesNew", TStreamProc([this](TStream* s) { QCLFaceIndicesFromOlderLists(allOf(s), faces_); }),
        TStreamProc(), false);
    Filer->DefineBinaryProperty("ButtonFaceTransCol", TStreamProc([this](TStream* s) { readTransColor(s); }),
                                TStreamProc(), false);
}

void TQCLCustomMMButton::readTransColor(TStream* Stream) {
    std::vector<uint8_t> bytes = allOf(Stream);
    if (bytes.size() == 4) transColor_ = static_cast<TColor>(get32(bytes, 0));
}

void TQCLCustomMMButton::SetButtonFaceImageList(TQCLCustomImageList* Value) {
    if (faceList_ == Value) return;
    if (faceList_) {
        faceList_->UnRegisterChanges(&faceLink_);
        faceList_->RemoveFreeNotification(this);
    }
    faceList_ = Value;
    if (Value) {
        faceLink_.OnChange = TNotifyEvent(this, &TQCLCustomMMButton::faceListChange);
        Value->RegisterChanges(&faceLink_);
        Value->FreeNotification(this);
    }
    GetChange(this);
}

void TQCLCustomMMButton::SetButtonFaceStyle(TQCLBitmapStyle Value) {
    if (faceStyle_ == Value) return;
    faceStyle_ = Value;
    Invalidate();
}

void TQCLCustomMMButton::SetForceTransparent(bool Value) {
    if (forceTransparent_ == Value) return;
    forceTransparent_ = Value;
    Invalidate();
}

void TQCLCustomMMButton::SetQuickDraw(bool Value) {
    if (quickDraw_ == Value) return;
    quickDraw_ = Value;
    Invalidate();
}

uint16_t TQCLCustomMMButton::FaceDrawFlags() const {
    uint16_t flags = quickDraw_ ? 0 : 0x1000;
    switch (faceStyle_) {
    case sbCenter: flags |= 0x8; break;
    case sbStretch: flags |= 0x10; break;
    case sbTile: flags |= 0x20; break;
    case sbKeepAspRatio: flags |= 0x610; break;
    case sbKeepWidth: flags |= 0x210; break;
    case sbKeepHeight: flags |= 0x410; break;
    default: break;
    }
    if (transparent_ || forceTransparent_) flags |= 0x40;
    return flags;
}

bool TQCLCustomMMButton::autosizeTo(const TRect& Item) {
    if (faceStyle_ != sbAutosize) return false;
    const int w = Item.Width() ? Item.Width() : 20, h = Item.Height() ? Item.Height() : 20;
    if (w == GetWidth() && h == GetHeight()) return false;
    SetBounds(GetLeft(), GetTop(), w, h);
    Invalidate();
    return true;
}

void TQCLCustomMMButton::SetButtonFaceIndex(TQCLButtonState State, TQCLFaceIndex Pair) {
    faces_[State] = Pair;
    if (State == state_) Invalidate();
}

bool TQCLCustomMMButton::ButtonFaceIMLEmpty(TQCLButtonState State) {
    return !faceList_ || !faceList_->IsValidItem(faces_[State].ListIndex, faces_[State].ImageIndex);
}

int TQCLCustomMMButton::FaceStateFor(TQCLButtonState State) {
    if (!ButtonFaceIMLEmpty(State)) return State;
    switch (State) {
    case bsDisabledUp: case bsMouseOver: case bsDragOver:
        return ButtonFaceIMLEmpty(bsUp) ? -1 : bsUp;
    case bsOptionSet: case bsDown: case bsDropDownOpen: case bsDisabledDown:
        return ButtonFaceIMLEmpty(bsDown) ? -1 : bsDown;
    default:
        return -1;
    }
}

void TQCLCustomMMButton::SetTransCol() {
    if (ButtonFaceIMLEmpty(bsUp)) return;
    TBitmap picture;
    faceList_->GetBitmapItem(faces_[bsUp].ListIndex, faces_[bsUp].ImageIndex, &picture);
    TColor c = picture.GetTransparentColor();
    if (static_cast<uint32_t>(c) > 0x1FFFFFF) c = static_cast<TColor>(static_cast<uint32_t>(c) - 0x2000000);
    transColor_ = c;
}

bool TQCLCustomMMButton::VerifyTransparency(int X, int Y) {
    if (!faceList_ || ButtonFaceIMLEmpty(state_)) return false;
    if (!faceRect_.Contains(TPoint(X, Y))) return false;
    TBitmap picture;
    faceList_->GetBitmapItem(faces_[state_].ListIndex, faces_[state_].ImageIndex, &picture);
    const int px = X - faceRect_.Left, py = Y - faceRect_.Top;
    if (px >= picture.GetWidth() || py >= picture.GetHeight()) return false;
    return GetPixel(picture.GetCanvas()->GetHandle(), px, py) != static_cast<COLORREF>(ColorToRGB(transColor_));
}

void TQCLCustomMMButton::Paint() {
    if (IsLoading()) return;
    faceRect_ = TRect();
    TCanvas* canvas = GetCanvas();
    const TRect client = GetClientRect();
    if (!faceList_) {
        if (!(GetControlStyle().Contains(csOpaque))) return;
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->GetBrush()->SetColor(GetColor());
        canvas->FillRect(client);
        return;
    }
    const int face = FaceStateFor(state_);
    if (face < 0) return;
    const TQCLFaceIndex& pair = faces_[static_cast<size_t>(face)];
    const TRect item = faceList_->ItemRect(pair.ListIndex, pair.ImageIndex);
    if (autosizeTo(item)) return;  // painted again at the new size
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(client.Width(), client.Height());
    TCanvas* c = bitmap.GetCanvas();
    c->GetBrush()->SetStyle(bsSolid);
    // The background: Color, or the parent's picture under a transparent button.
    const bool prepared = !transparent_ || DrawParentBackground(c, client);
    if (!prepared) {
        c->GetBrush()->SetColor(faceList_->TransparentColor(pair.ListIndex, pair.ImageIndex));
        c->FillRect(client);
    } else if (!transparent_) {
        c->GetBrush()->SetColor(GetColor());
        c->FillRect(client);
    }
    faceList_->DrawExt(c, client, FaceDrawFlags(), pair.ListIndex, pair.ImageIndex);
    faceRect_ = TRect(0, 0, std::min(item.Width(), client.Width()), std::min(item.Height(), client.Height()));
    TRect caption = client;
    if (state_ == bsOptionSet || state_ == bsDown || state_ == bsDropDownOpen)
        caption = TRect(caption.Left + captionDown_, caption.Top + captionDown_, caption.Right + captionDown_,
                        caption.Bottom + captionDown_);
    c->SetFont(GetFont());
    TQCLDrawTextStyles styles;
    styles << dt3DDisabled << (GetEnabled() ? dtEnabled : dtDisabled);
    glyph_->DrawButtonGlyphAndText(c, GetCaption(), GetMultiLine(), styles, layout_, state_, caption, fontFX_, 0);
    if (prepared) {
        if (!quickDraw_) QCLRealizePaletteIn(canvas, GetPalette());
        canvas->Draw(0, 0, &bitmap);
    } else {
        // Only the picture and caption: the colour laid under them stays out.
        QCLBmpDrawExt(canvas, client, c, client, qclmode::Palette | qclmode::TransparentColor,
                      faceList_->TransparentColor(pair.ListIndex, pair.ImageIndex), nullptr, nullptr);
    }
}

HPALETTE TQCLCustomMMButton::GetPalette() {
    return faceList_ ? faceList_->Palette(faces_[state_].ListIndex) : nullptr;
}
