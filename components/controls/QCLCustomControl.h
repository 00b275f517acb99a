// The two roots of the library's controls: the windowless chain
// TQCLControl -> TQCLBaseControl -> TQCLBaseGraphicControl ->
// TQCLGraphicControl (labels, meters) and the windowed TQCLCustomControl
// (panels, edits, buttons), with the background protocol by which a
// transparent control paints the matching piece of a background bitmap that
// a container caches.
//
// Tricky points:
// - BoundsChange reports only real changes and stays silent while loading.
// - A windowless control fires OnMouseEnter/OnMouseExit only while enabled;
//   a windowed one fires them always (the framework reports enter/leave for
//   disabled controls too).
// - OnAfterEnter/OnAfterExit come from a message the control posts to itself
//   in WM_SETFOCUS/WM_KILLFOCUS, so they arrive after the focus change has
//   been completed, never inside it.
// - The flat border is drawn on the window DC (non-client area) by
//   RestoreBorderFront (normal look) and RestoreBorderBack (flat look);
//   brushes and the DC are released on every exit.
// - Changing Transparent of a windowed control re-creates its window.
// - TQCLControl::OnMouseEnter hides the framework's field of the same name:
//   the library's event is the one with the enabled rule above.
#pragma once

#include "components/runtime/QCLBevel.h"
#include "components/runtime/QCLBitmapEffectObject.h"
#include "components/runtime/qclcont.h"

#include "framework/Controls.h"
#include "framework/Filer.h"
#include "framework/Forms.h"

#include <functional>

class TQCLFormShape;

// Messages of the library to its own controls (component-message range,
// above the framework's CM_* numbers).
constexpr UINT CM_QCLTRANSPARENTCHANGED = 0xB0CD;
constexpr UINT CM_QCLBACKCHANGED = 0xB0CE;
constexpr UINT CM_QCLAFTERENTER = 0xB0CF;
constexpr UINT CM_QCLAFTEREXIT = 0xB0D0;
constexpr UINT CM_QCLBEVELCHANGED = 0xB0D1;
constexpr UINT CM_QCLSCROLLBOXSCROLLEVENT = 0xB0D4;

enum TQCLBoundsChangeState { bcSize, bcPos };
using TQCLBoundsChangeStates = TSet<TQCLBoundsChangeState>;
using TQCLOnBoundsChangeEvent = TEvent<void(TObject* Sender, TQCLBoundsChangeStates State)>;

// When Owner is a form, the index of the first component it owns that
// passes IsClass; else -1.
int QCLCheckForFormComponent(TComponent* Owner, const std::function<bool(TComponent*)>& IsClass);
// The form shape owned by the form that owns Owner's controls, or null.
TQCLFormShape* QCLFindFormShape(TComponent* Owner);

// The background protocol as every library container answers it. A
// container with a background bitmap answers BackBitmapCheck true to its
// children and hands out the bitmap; BackMapPoint turns a point in the
// container's coordinates into bitmap coordinates along the chain.
class TQCLBackSource {
public:
    virtual ~TQCLBackSource() = default;
    virtual bool BackBitmapCheck() { return false; }
    virtual TBitmap* BackBitmap() { return nullptr; }
    virtual TPoint BackMapPoint(const TPoint& Point) { return Point; }
    // Copies into Canvas at Rect (client coordinates) the piece of the
    // background that lies under Rect shifted by Offset; true when it drew.
    virtual bool BackDrawArea(TCanvas* /*Canvas*/, const TRect& /*Rect*/, const TPoint& /*Offset*/) { return false; }
};

// The parent as a library background source when it is one and has a window.
TQCLBackSource* QCLParentBackSource(TControl* Control);

// The image reference of a library control: ImageList (not owned), ImageIndex,
// ListIndex and the change link registered with the list. `changed` is the
// control's GetIMLChange.
class TQCLImageRef {
public:
    TQCLImageRef(TComponent* Owner, TNotifyEvent Changed);
    ~TQCLImageRef();
    TQCLImageRef(const TQCLImageRef&) = delete;
    TQCLImageRef& operator=(const TQCLImageRef&) = delete;

    TQCLCustomImageList* List() const { return list_; }
    // Moves the link to the new list and asks for its free notification.
    void SetList(TQCLCustomImageList* Value);
    // Which 0 ImageIndex, 1 ListIndex; true when the value was stored (a
    // negative or unchanged value is not).
    bool SetIndex(int Which, int Value);
    void StoreImageIndex(int Value) { imageIndex_ = Value; }
    int ImageIndex() const { return imageIndex_; }
    int ListIndex() const { return listIndex_; }
    // True unless a list is set and it reports (ListIndex, ImageIndex) valid.
    bool Empty() const;
    bool CheckCont() const { return QCLIsGlobalIdent(list_); }
    bool HasControl() const;
    // Forgets the list when it is the component going away; true when it was.
    bool Forget(TComponent* Removed);
    // The stream property (by default "Internal") naming a global container list.
    void DefineProperties(TFiler* Filer, const char* Name = "Internal");

private:
    TComponent* owner_;
    TQCLCustomImageList* list_ = nullptr;
    int imageIndex_ = 0;
    int listIndex_ = 0;
    TQCLChangeLink link_;
};

// ---------------------------------------------------------------------------
// Windowless roots

class TQCLControl : public TGraphicControl {
public:
    explicit TQCLControl(TComponent* AOwner);
    AnsiString ClassName() const override { return "TQCLControl"; }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Dispatch(TMessage& Message) override;

    // Property objects report their changes here.
    virtual void GetChange(TObject* Sender);
    virtual bool GetEmpty() { return true; }
    // The palette that the control's pictures want realised; none by default.
    virtual HPALETTE GetPalette() { return nullptr; }
    // Fills the client rectangle with Color.
    void FillControl();
    void DrawDashedFrame();
    bool IsLoading() const { return GetComponentState().Contains(csLoading); }
    TRect GetScreenRect(const TRect& R);

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;
    TQCLOnBoundsChangeEvent OnBoundsChange;

protected:
    virtual void BoundsChange(TQCLBoundsChangeStates State);
    virtual void MouseEnter();
    virtual void MouseExit();
};

class TQCLBaseControl : public TQCLControl {
public:
    explicit TQCLBaseControl(TComponent* AOwner);
    ~TQCLBaseControl() override;
    AnsiString ClassName() const override { return "TQCLBaseControl"; }

    void Dispatch(TMessage& Message) override;
    void DefineProperties(TFiler* Filer) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    virtual bool CheckOptimized() { return false; }
    virtual void GetIMLChange(TObject* Sender) { GetChange(Sender); }
    bool IMLEmpty() const { return image_.Empty(); }
    bool HasControl() const { return image_.HasControl(); }
    bool CheckCont() const { return image_.CheckCont(); }
    // The point in the parent's coordinates, past the border halves.
    TPoint BackMapPoint(int X, int Y);

    TQCLCustomImageList* GetImageList() const { return image_.List(); }
    void SetImageList(TQCLCustomImageList* Value);
    int GetImageIndex() const { return image_.ImageIndex(); }
    int GetListIndex() const { return image_.ListIndex(); }
    // Index 0 ImageIndex, 1 ListIndex.
    void SetIndex(int Which, int Value);
    void SetImageIndex(int Value) { image_.StoreImageIndex(Value); }
    void SetListIndex(int Value) { SetIndex(1, Value); }
    TQCLBitmapEffectObject* GetBackFX() const { return backFX_; }
    void SetBackFX(TQCLBitmapEffectObject* Value) { backFX_->Assign(Value); }

    BRIM_PROPERTY(ImageList, TQCLBaseControl::GetImageList, TQCLBaseControl::SetImageList);
    BRIM_PROPERTY(ImageIndex, TQCLBaseControl::GetImageIndex, TQCLBaseControl::SetImageIndex);
    BRIM_PROPERTY(ListIndex, TQCLBaseControl::GetListIndex, TQCLBaseControl::SetListIndex);
    BRIM_PROPERTY(BackFX, TQCLBaseControl::GetBackFX, TQCLBaseControl::SetBackFX);

protected:
    TQCLImageRef image_;
    TQCLBitmapEffectObject* backFX_;
};

class TQCLBaseGraphicControl : public TQCLBaseControl {
public:
    explicit TQCLBaseGraphicControl(TComponent* AOwner);
    AnsiString ClassName() const override { return "TQCLBaseGraphicControl"; }

    void Dispatch(TMessage& Message) override;
    void GetChange(TObject* Sender) override;
    bool CheckOptimized() override;

    // Transparent: the parent repaints the area first; opaque: Paint at once.
    void InvalidateControl();
    // Opaque from now on, without a repaint.
    void DisableTransMode();

    bool GetTransparent() const { return transparent_; }
    void SetTransparent(bool Value);

    BRIM_PROPERTY(Transparent, TQCLBaseGraphicControl::GetTransparent, TQCLBaseGraphicControl::SetTransparent);

protected:
    void Paint() override;
    // Set while a paint runs (a paint never re-enters).
    bool painting_ = false;

private:
    bool transparent_ = true;
};

class TQCLGraphicControl : public TQCLBaseGraphicControl {
public:
    explicit TQCLGraphicControl(TComponent* AOwner);
    ~TQCLGraphicControl() override;
    AnsiString ClassName() const override { return "TQCLGraphicControl"; }

    int BevelExt() const { return bevel_->GetBevelExtend(); }
    int DblBevelExt() const { return 2 * BevelExt(); }
    TRect BeveledRect() { return bevel_->ClientRect(GetClientRect()); }

    TQCLBevel* GetBevel() const { return bevel_; }
    void SetBevel(TQCLBevel* Value);

    BRIM_PROPERTY(Bevel, TQCLGraphicControl::GetBevel, TQCLGraphicControl::SetBevel);

protected:
    void Paint() override;
    TQCLBevel* bevel_;
};

// ---------------------------------------------------------------------------
// Windowed root

class TQCLCustomControl : public TCustomControl, public TQCLBackSource {
public:
    explicit TQCLCustomControl(TComponent* AOwner);
    ~TQCLCustomControl() override;
    AnsiString ClassName() const override { return "TQCLCustomControl"; }

    void Dispatch(TMessage& Message) override;
    void DefineProperties(TFiler* Filer) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    virtual void GetChange(TObject* Sender);
    virtual void GetIMLChange(TObject* Sender) { GetChange(Sender); }
    virtual bool GetEmpty() { return true; }
    virtual bool CheckOptimized() { return transparent_ && BackBitmapCheck(); }
    // The background: from the parent's bitmap when optimised, else Color.
    virtual void FillControl();
    // The palette of the parent's background bitmap, or 0.
    virtual HPALETTE BackBitmapPalette();

    bool IMLEmpty() const { return image_.Empty(); }
    bool HasControl() const { return image_.HasControl(); }
    bool CheckCont() const { return image_.CheckCont(); }
    bool IsLoading() const { return GetComponentState().Contains(csLoading); }
    bool IsDestroying() const { return GetComponentState().Contains(csDestroying); }
    // Invalidates the control's bounds in the parent window (erasing).
    void InvalidateFrame();
    // Paints the background of R: from the bitmap when optimised, else Color.
    void RepBack(const TRect& R);
    void SetMouseAbove() { mouseAbove_ = true; }
    bool MouseAbove() const { return mouseAbove_; }
    bool Active() const { return active_; }
    TRect GetScreenRect(const TRect& R);
    void DrawDashedFrame();

    // The non-client border: normal look and flat look.
    virtual void RestoreBorderFront();
    virtual void RestoreBorderBack();

    bool GetFlat() const { return flat_; }
    void SetFlat(bool Value);
    bool GetTransparent() const { return transparent_; }
    void SetTransparent(bool Value);
    TQCLCustomImageList* GetImageList() const { return image_.List(); }
    void SetImageList(TQCLCustomImageList* Value);
    int GetImageIndex() const { return image_.ImageIndex(); }
    int GetListIndex() const { return image_.ListIndex(); }
    // Index 0 ImageIndex, 1 ListIndex.
    void SetIndex(int Which, int Value);
    void SetImageIndex(int Value) { SetIndex(0, Value); }
    void SetListIndex(int Value) { SetIndex(1, Value); }
    TQCLBitmapEffectObject* GetBackFX() const { return backFX_; }
    void SetBackFX(TQCLBitmapEffectObject* Value) { backFX_->Assign(Value); }

    AnsiString About;
    TNotifyEvent OnAfterEnter;
    TNotifyEvent OnAfterExit;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;

    BRIM_PROPERTY(Flat, TQCLCustomControl::GetFlat, TQCLCustomControl::SetFlat);
    BRIM_PROPERTY(Transparent, TQCLCustomControl::GetTransparent, TQCLCustomControl::SetTransparent);
    BRIM_PROPERTY(ImageList, TQCLCustomControl::GetImageList, TQCLCustomControl::SetImageList);
    BRIM_PROPERTY(ImageIndex, TQCLCustomControl::GetImageIndex, TQCLCustomControl::SetImageIndex);
    BRIM_PROPERTY(ListIndex, TQCLCustomControl::GetListIndex, TQCLCustomControl::SetListIndex);
    BRIM_PROPERTY(BackFX, TQCLCustomControl::GetBackFX, TQCLCustomControl::SetBackFX);

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void DoEnter() override;
    void DoExit() override;
    virtual void DoFlatChanged() {}
    virtual void MouseEnter();
    virtual void MouseExit();
    void SetActive(bool Value);
    // Frames the window rectangle on the window DC with a system colour.
    void frameWindow(const std::function<void(HDC, RECT&)>& draw);

    TQCLImageRef image_;
    TQCLBitmapEffectObject* backFX_;

private:
    bool mouseAbove_ = false;
    bool active_ = false;
    bool flat_ = false;
    bool transparent_ = false;
};
