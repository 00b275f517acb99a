// The library's labels; see QCLSimpleLabel.h.
#include "components/controls/QCLSimpleLabel.h"

#include "components/runtime/Qclutils.h"
#include "components/runtime/qclclass.h"
#include "components/runtime/qclstrings.h"

#include "framework/Forms.h"

#include <shellapi.h>

namespace {

HINSTANCE shellOpen(HWND owner, const AnsiString& target) {
    return ShellExecuteA(owner, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

TQCLShellOpenFunc shellOpenFunc = &shellOpen;

const UINT alignmentFlags[] = {0, DT_CENTER, DT_RIGHT, DT_VCENTER, DT_CENTER | DT_VCENTER, DT_RIGHT | DT_VCENTER,
                               DT_BOTTOM, DT_BOTTOM | DT_CENTER, DT_BOTTOM | DT_RIGHT};

AnsiString trimmed(const AnsiString& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == AnsiString::npos) return AnsiString();
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

TQCLShellOpenFunc QCLSetLabelShellOpenForTesting(TQCLShellOpenFunc Func) {
    TQCLShellOpenFunc previous = shellOpenFunc;
    shellOpenFunc = Func ? Func : &shellOpen;
    return previous;
}

// ---------------------------------------------------------------------------
// TQCLBaseLabel

TQCLBaseLabel::TQCLBaseLabel(TComponent* AOwner) : TQCLBaseGraphicControl(AOwner) {}

TQCLBaseLabel::~TQCLBaseLabel() { stopBlinking(); }

bool TQCLBaseLabel::GetEmpty() { return GetTransparent() && GetLabelText().empty(); }

void TQCLBaseLabel::GetChange(TObject* Sender) {
    CorrectBounds();
    TQCLBaseGraphicControl::GetChange(Sender);
}

UINT TQCLBaseLabel::GetOptionsFlag() const {
    UINT flags = 0;
    if (options_.Contains(loPathEllipsis)) flags |= DT_PATH_ELLIPSIS;
    if (options_.Contains(loEndEllipsis)) flags |= DT_END_ELLIPSIS;
    if (options_.Contains(loEditControl)) flags |= DT_EDITCONTROL;
    return flags;
}

bool TQCLBaseLabel::GetBool(int Index) const {
    switch (Index) {
    case 0: return autoSize_;
    case 1: return multiLine_;
    case 2: return showAccelChar_;
    case 3: return twinkle_;
    default: return false;
    }
}

void TQCLBaseLabel::SetBool(int Index, bool Value) {
    if (GetBool(Index) == Value) return;
    switch (Index) {
    case 0:
        autoSize_ = Value;
        CorrectBounds();
        break;
    case 1:
        multiLine_ = Value;
        GetChange(nullptr);
        break;
    case 2:
        showAccelChar_ = Value;
        InvalidateControl();
        break;
    case 3:
        if (Value) startBlinking();
        else stopBlinking();
        InvalidateControl();
        break;
    default:
        break;
    }
}

void TQCLBaseLabel::SetInteger(int Index, int Value) {
    if (Index == 0) twinkleVisible_ = Value;
    else if (Index == 1) twinkleInVisible_ = Value;
}

void TQCLBaseLabel::startBlinking() {
    blinkShown_ = true;
    if (!QCLApplication) {
        twinkle_ = true;
        return;
    }
    // The pool takes 16-bit intervals; its errors reach the caller and leave
    // the label without blinking.
    uint16_t ident = QCLApplication->AddTimer(static_cast<uint16_t>(twinkleVisible_ & 0xFFFF),
                                              TNotifyEvent(this, &TQCLBaseLabel::blinkTick));
    twinkle_ = true;
    if (ident == 0) return;  // every identifier in use: no blinking
    timerIdent_ = ident;
    if (TQCLTimerItem* item = QCLApplication->GetTimer(ident)) item->SetEnabled(true);
}

void TQCLBaseLabel::stopBlinking() {
    if (timerIdent_ > 0 && QCLApplication) QCLApplication->RemoveTimer(static_cast<uint16_t>(timerIdent_));
    timerIdent_ = -1;
    twinkle_ = false;
    blinkShown_ = true;
}

void TQCLBaseLabel::blinkTick(TObject* /*Sender*/) {
    if (timerIdent_ <= 0 || !QCLApplication) return;
    blinkShown_ = !blinkShown_;
    if (TQCLTimerItem* item = QCLApplication->GetTimer(static_cast<uint16_t>(timerIdent_)))
        item->SetInterval(static_cast<uint16_t>((blinkShown_ ? twinkleVisible_ : twinkleInVisible_) & 0xFFFF));
    InvalidateControl();
}

void TQCLBaseLabel::SetAlignment(TQCLAlignment Value) {
    if (Value == alignment_) return;
    alignment_ = Value;
    GetChange(nullptr);
}

void TQCLBaseLabel::SetOptions(TQCLLabelOptions Value) {
    if (Value == options_) return;
    options_ = Value;
    GetChange(nullptr);
}

void TQCLBaseLabel::SetFocusControl(TWinControl* Value) {
    if (Value == focusControl_) return;
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
    focusControl_ = Value;
    if (focusControl_) focusControl_->FreeNotification(this);
}

void TQCLBaseLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TQCLBaseGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == focusControl_) focusControl_ = nullptr;
}

void TQCLBaseLabel::Loaded() { TQCLBaseGraphicControl::Loaded(); }

void TQCLBaseLabel::FontChange(TObject* Sender) {
    if (IsLoading()) return;
    if (Sender == GetFont()) SetParentFont(false);
    if (!GetComponentState().Contains(csReading)) GetCanvas()->SetFont(GetFont());
    GetChange(Sender);
}

void TQCLBaseLabel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_DIALOGCHAR:
        if (showAccelChar_ && focusControl_ && GetEnabled() &&
            IsAccel(static_cast<WORD>(Message.WParam), GetLabelText())) {
            if (focusControl_->CanFocus()) focusControl_->SetFocus();
            Message.Result = 1;
            return;
        }
        TQCLBaseGraphicControl::Dispatch(Message);
        return;
    case CM_FONTCHANGED:
        TQCLBaseGraphicControl::Dispatch(Message);
        FontChange(GetFont());
        return;
    case CM_TEXTCHANGED:
        CorrectBounds();
        InvalidateControl();
        return;
    default:
        TQCLBaseGraphicControl::Dispatch(Message);
    }
}

// ---------------------------------------------------------------------------
// TQCLCustomSimpleLabel

TQCLCustomSimpleLabel::TQCLCustomSimpleLabel(TComponent* AOwner)
    : TQCLBaseLabel(AOwner), font3D_(new TQCL3DCaption) {
    font3D_->OnChange = TNotifyEvent(this, &TQCLCustomSimpleLabel::FontChange);
}

TQCLCustomSimpleLabel::~TQCLCustomSimpleLabel() {
    font3D_->OnChange = nullptr;
    delete font3D_;
}

void TQCLCustomSimpleLabel::DefineProperties(TFiler* Filer) {
    TQCLBaseLabel::DefineProperties(Filer);
    // Older layouts mark links with a flag; it is read, never written.
    Filer->DefineProperty("UseAsJump", TReaderProc([this](TReader* reader) { legacyJump_ = reader->ReadBoolean(); }),
                          TWriterProc(), false);
}

void TQCLCustomSimpleLabel::Loaded() {
    TQCLBaseLabel::Loaded();
    GetCanvas()->SetFont(GetFont());
    CorrectBounds();
    if (legacyJump_) jumpMode_ = jmInternet;
}

TSize TQCLCustomSimpleLabel::MeasuredSize() {
    TRect measured = GetClientRect();
    QCLDrawTextCalc(GetLabelText(), font3D_, measured, GetFont(), multiLine_, showAccelChar_, 0,
                    GetOptionsFlag() | static_cast<UINT>(DrawTextBiDiModeFlagsReadingOnly()));
    return TSize{measured.Right, measured.Bottom};
}

void TQCLCustomSimpleLabel::CorrectBounds() {
    if (!autoSize_ || IsLoading()) return;
    TSize size = MeasuredSize();
    SetBounds(GetLeft(), GetTop(), size.cx, size.cy);
}

void TQCLCustomSimpleLabel::Paint() {
    if (painting_ || IsLoading()) return;
    if (GetEmpty()) return;  // only design time marks an empty label
    struct PaintingFlag {
        bool& flag;
        ~PaintingFlag() { flag = false; }
    } clear{painting_};
    painting_ = true;

    const AnsiString text = GetLabelText();
    TRect rect = GetClientRect();
    if (!GetTransparent()) FillControl();
    UINT flags = static_cast<UINT>(DrawTextBiDiModeFlags(0));
    if (!multiLine_) flags |= DT_SINGLELINE;
    else if (alignment_ >= agCenterLeft)
        rect = QCLAlignTextRect(alignment_, text, font3D_, rect, GetFont(), multiLine_, showAccelChar_, flags);
    flags |= alignmentFlags[alignment_] | DT_WORDBREAK | DT_EXPANDTABS | GetOptionsFlag();
    if (!showAccelChar_) flags |= DT_NOPREFIX;

    TCanvas* canvas = GetCanvas();
    canvas->GetBrush()->SetColor(GetColor());
    canvas->SetFont(GetFont());
    TQCLDrawTextStyles state{GetEnabled() ? dtEnabled : dtDisabled};
    if (blinkShown_) {
        QCLDrawTextExt(canvas, text, font3D_, rect, flags, state, nullptr);
    } else if (twinkleColor_ != clNone) {
        canvas->GetFont()->SetColor(twinkleColor_);
        QCLDrawTextExt(canvas, text, font3D_, rect, flags, state, nullptr);
    }
}

void TQCLCustomSimpleLabel::SetColorIndex(int Index, TColor Value) {
    if (Index == 0) {
        activeColor_ = Value;
    } else if (Index == 1) {
        if (Value == inActiveColor_) return;
        inActiveColor_ = Value;
        if (legacyJump_) GetFont()->SetColor(Value);
    }
}

void TQCLCustomSimpleLabel::SetJumpUnderline(bool Value) {
    jumpUnderline_ = Value;
    if (legacyJump_) GetFont()->SetStyle(GetFont()->GetStyle() << fsUnderline);
}

void TQCLCustomSimpleLabel::ResetCounter() {
    counter_ = 0;
    GetFont()->SetColor(inActiveColor_);
    if (jumpUnderline_) GetFont()->SetStyle(GetFont()->GetStyle() << fsUnderline);
}

void TQCLCustomSimpleLabel::SetJumpMode(TQCLJumpMode Value) {
    jumpMode_ = Value;
    if (IsLoading() && Value == jmNone) return;
    if (Value != jmNone) {
        ResetCounter();
        SetCursor(crHandPoint);
    } else {
        SetCursor(crDefault);
        GetFont()->SetColor(clBlack);
        if (jumpUnderline_) GetFont()->SetStyle(GetFont()->GetStyle() >> fsUnderline);
    }
}

void TQCLCustomSimpleLabel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && isLink()) {
        ++counter_;
        GetFont()->SetColor(activeColor_);
    }
    TQCLBaseLabel::MouseDown(Button, Shift, X, Y);
}

void TQCLCustomSimpleLabel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && legacyJump_) GetFont()->SetColor(inActiveColor_);
    TQCLBaseLabel::MouseUp(Button, Shift, X, Y);
}

void TQCLCustomSimpleLabel::jump() {
    AnsiString target = trimmed(jump_);
    if (target.empty()) {
        target = GetLabelText();
        if (jumpMode_ == jmInternet && target.find('@') != AnsiString::npos) target = "mailto:" + target;
    } else {
        target = jump_;
    }
    HWND owner = Application ? Application->GetHandle() : nullptr;
    HINSTANCE result = shellOpenFunc(owner, target);
    if (jumpMode_ == jmInternet && reinterpret_cast<INT_PTR>(result) <= 32) {
        jumpMode_ = jmNone;
        SetEnabled(false);
    }
}

void TQCLCustomSimpleLabel::Click() {
    if (jumpMode_ == jmInternet || jumpMode_ == jmApplication) jump();
    else TQCLBaseLabel::Click();
}

void TQCLCustomSimpleLabel::ActionChange(TObject* Sender, bool CheckDefaults) {
    if (jumpMode_ == jmCustom) TQCLBaseLabel::ActionChange(Sender, CheckDefaults);
}

void TQCLCustomSimpleLabel::Execute() {
    if (isLink()) {
        ++counter_;
        GetFont()->SetColor(activeColor_);
    }
    Click();
}
