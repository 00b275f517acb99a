// The multi-column list box (see the header).
#include "components/controls/QCLListBox.h"

#include "components/controls/QCLListRows.h"
#include "components/runtime/qclclass.h"
#include "components/runtime/qclstrings.h"

#include "framework/Filer.h"
#include "framework/Forms.h"

#include <algorithm>

namespace {

const int headerEnabledIndex = 5;

// Posted to the list box's own window to end the redraw hold that AddLine
// starts; registered so it cannot meet anyone else's message number.
UINT endHoldMessage() {
    static const UINT message = RegisterWindowMessageA("QCLListBoxEndRedrawHold");
    return message;
}

bool loading(const TComponent* c) { return c->GetComponentState().Contains(csLoading); }
bool destroying(const TComponent* c) { return c->GetComponentState().Contains(csDestroying); }

}  // namespace

// ---------------------------------------------------------------------------
// TQCLHeaderControl

int TQCLHeaderControl::GetSectionWidth(int Index) const { return GetSections()->GetItem(Index)->GetWidth(); }

void TQCLHeaderControl::SetSectionWidth(int Index, int Width) {
    THeaderSection* section = GetSections()->GetItem(Index);
    if (section->GetWidth() == Width) return;
    section->SetWidth(Width);
    if (OnSectionResize) OnSectionResize(this, section);
}

// ---------------------------------------------------------------------------
// TQCLHeaderStrings

void TQCLHeaderStrings::ReadSections(TStrings* Entries) {
    THeaderSections* sections = listBox_->GetHeaderSections();
    for (int i = 0; i < Entries->GetCount(); ++i) {
        QCLLegacySection entry = QCLParseLegacySection(Entries->Get(i));
        THeaderSection* section = sections->Add();
        section->SetText(entry.caption);
        section->SetWidth(entry.width);
    }
}

void TQCLHeaderStrings::DefineProperties(TFiler* Filer) {
    TStringList::DefineProperties(Filer);
    Filer->DefineProperty("Sections", TReaderProc([this](TReader* reader) {
                              TStringList entries;
                              reader->ReadListBegin();
                              while (!reader->EndOfList()) entries.Add(reader->ReadString());
                              reader->ReadListEnd();
                              ReadSections(&entries);
                          }),
                          TWriterProc(), false);
}

// ---------------------------------------------------------------------------
// TQCLListBox

void TQCLListBox::DefineProperties(TFiler* Filer) {
    TQCLCustomScrollBox::DefineProperties(Filer);
    Filer->DefineProperty("ItemHeight", TReaderProc([this](TReader* reader) { SetInteger(4, reader->ReadInteger()); }),
                          TWriterProc([this](TWriter* writer) { writer->WriteInteger(GetInteger(4)); }),
                          style_ != lbStandard);
    if (headerStrings_) headerStrings_->DefineProperties(Filer);
}

TQCLListBox::TQCLListBox(TComponent* AOwner) : TQCLCustomScrollBox(AOwner) {
    TControlStyle style = GetControlStyle();
    style >> csAcceptsControls;
    style >> csSetCaption;
    SetControlStyle(style);
    SetTabStop(false);
    SetAutoScroll(true);
    SetBounds(GetLeft(), GetTop(), 100, 100);
    GetVertScrollBar()->SetVisible(false);

    header_ = new TQCLHeaderControl(this);
    header_->SetParent(this);
    header_->SetAlign(alTop);
    header_->SetTabStop(false);
    header_->GetSections()->Add();
    header_->OnSectionResize = TSectionNotifyEvent(this, &TQCLListBox::HeaderSized);

    list_ = new TListBox(this);
    list_->SetParent(this);
    list_->SetAlign(alClient);
    list_->SetBorderStyle(bsNone);
    list_->SetCtl3D(false);
    list_->SetParentCtl3D(false);
    list_->SetColor(clWhite);
    list_->SetStyle(lbOwnerDrawFixed);
    list_->SetTabStop(true);
    list_->OnDrawItem = TDrawItemEvent(this, &TQCLListBox::DrawItem);

    headerStrings_ = new TQCLHeaderStrings(this);
}

TQCLListBox::~TQCLListBox() {
    // The saved list procedure goes back first: the inner list may outlive
    // this object's members for a moment while the owner frees it.
    if (subclassed_) {
        list_->WindowProc = savedListProc_;
        subclassed_ = false;
    }
    if (!loading(this)) {
        try {
            DoWriteData();
        } catch (...) {
            // Column widths not saved: nothing to lose that matters more
            // than finishing the destruction.
        }
    }
    delete headerStrings_;
}

void TQCLListBox::Loaded() {
    TQCLCustomScrollBox::Loaded();
    savedListProc_ = list_->WindowProc;
    list_->WindowProc = TWndMethod(this, &TQCLListBox::listWindowProc);
    subclassed_ = true;
    delete headerStrings_;
    headerStrings_ = nullptr;
    list_->OnClick = OnClick;
    list_->OnDblClick = OnDblClick;
    list_->OnEnter = OnEnter;
    list_->OnExit = OnExit;
    list_->OnMouseDown = OnMouseDown;
    list_->OnMouseMove = OnMouseMove;
    list_->OnMouseUp = OnMouseUp;
    list_->OnKeyDown = OnKeyDown;
    list_->OnKeyUp = OnKeyUp;
    list_->OnKeyPress = OnKeyPress;
    // Dragging is the inner list's: its mode and cursor, and the drag
    // handlers, which the header shares (both hear as themselves).
    list_->DragMode = DragMode;
    list_->DragCursor = DragCursor;
    for (TControl* part : {static_cast<TControl*>(list_), static_cast<TControl*>(header_)}) {
        part->OnDragDrop = OnDragDrop;
        part->OnDragOver = OnDragOver;
        part->OnEndDrag = OnEndDrag;
        part->OnStartDrag = OnStartDrag;
    }
    DoReadData();
    Realign();
}

void TQCLListBox::listWindowProc(TMessage& Message) {
    savedListProc_(Message);
    if (Message.Msg == WM_LBUTTONDOWN && OnSelect) OnSelect(this);
}

void TQCLListBox::Notification(TComponent* AComponent, TOperation Operation) {
    TQCLCustomScrollBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == iniLink_) iniLink_ = nullptr;
    if (Operation == opInsert && IniUse == ioUseLink && !iniLink_ && AComponent->GetOwner() == GetOwner())
        if (auto* ini = dynamic_cast<TQCLIniCtrl*>(AComponent)) SetIniLink(ini);
}

void TQCLListBox::SetIniLink(TQCLIniCtrl* Value) {
    iniLink_ = Value;
    if (Value) Value->FreeNotification(this);
}

// --- rows -------------------------------------------------------------------

int TQCLListBox::AddLine(const std::vector<std::string>& Values) {
    holdRedrawUntilIdle();
    return GetItems()->Add(QCLJoinRow(Values, delimiter_));
}

void TQCLListBox::holdRedrawUntilIdle() {
    // A visible list box with redraw on updates its scroll bar on screen for
    // every added row, which under Wine costs milliseconds a row. Rows added
    // in one go (one message handler) are shown together instead: redraw is
    // held until the posted message comes back through the loop.
    if (holding_ || !HandleAllocated() || !list_->HandleAllocated()) return;
    if (!PostMessageA(GetHandle(), endHoldMessage(), 0, 0)) return;
    holding_ = true;
    BeginBulkAdd(0);
}

AnsiString TQCLListBox::ItemPart(int Row, int Column) {
    return QCLGetCodedString(GetItems()->Get(Row), delimiter_, Column);
}

void TQCLListBox::SetItemPart(int Row, int Column, const AnsiString& Value) {
    TStrings* items = GetItems();
    // Below 0 counts as outside the list too: a -1 "no selection" index
    // must not reach the items' index check.
    if (Row < 0 || Row >= items->GetCount()) return;
    AnsiString row = items->Get(Row);
    QCLSetCodedString(row, Value, delimiter_, Column);
    items->Put(Row, row);
}

AnsiString TQCLListBox::GetPartString(const AnsiString& Text, int Column) const {
    return QCLGetCodedString(Text, delimiter_, Column);
}

void TQCLListBox::Clear() {
    list_->Clear();
}

void TQCLListBox::BeginBulkAdd(int ExpectedRows) {
    if (bulkDepth_++ > 0) return;
    GetItems()->BeginUpdate();
    if (list_->HandleAllocated() && ExpectedRows > 0)
        SendMessageA(list_->GetHandle(), LB_INITSTORAGE, static_cast<WPARAM>(ExpectedRows),
                     static_cast<LPARAM>(ExpectedRows) * 32);
}

void TQCLListBox::EndBulkAdd() {
    if (bulkDepth_ == 0 || --bulkDepth_ > 0) return;
    GetItems()->EndUpdate();
}

void TQCLListBox::SpecialSort(const std::vector<int>& Columns) {
    TStrings* items = GetItems();
    items->BeginUpdate();
    try {
        std::vector<std::string> keys;
        int count = items->GetCount();
        keys.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) keys.push_back(QCLSortKey(items->Get(i), Columns, delimiter_));
        QCLQuickSortRows(keys, [items](int i, int j) { items->Exchange(i, j); });
    } catch (...) {
        items->EndUpdate();
        throw;
    }
    items->EndUpdate();
}

// --- drawing ----------------------------------------------------------------

std::vector<int> TQCLListBox::sectionWidths() const {
    THeaderSections* sections = header_->GetSections();
    std::vector<int> widths;
    widths.reserve(static_cast<size_t>(sections->GetCount()));
    for (int i = 0; i < sections->GetCount(); ++i) widths.push_back(sections->GetItem(i)->GetWidth());
    return widths;
}

void TQCLListBox::PrepareDrawItem(const TRect& Rect, TOwnerDrawState State) {
    TCanvas* canvas = list_->GetCanvas();
    if (State.Contains(odSelected)) {
        canvas->GetBrush()->SetColor(selectedColor_);
        canvas->GetFont()->SetColor(clHighlightText);
    } else {
        canvas->GetBrush()->SetColor(list_->GetColor());
        canvas->GetFont()->SetColor(State.Contains(odDisabled) ? clInactiveCaption : list_->GetFont()->GetColor());
    }
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->FillRect(Rect);
    if (State.Contains(odFocused)) canvas->DrawFocusRect(Rect);
    canvas->GetBrush()->SetStyle(bsClear);
}

void TQCLListBox::DrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State) {
    if (loading(this)) return;
    if (style_ != lbStandard && OnDrawItem) {
        OnDrawItem(Control, Index, Rect, State);
        return;
    }
    PrepareDrawItem(Rect, State);
    AnsiString row = GetItems()->Get(Index);
    if (!QCLRowHasContent(row)) return;
    TCanvas* canvas = list_->GetCanvas();
    std::vector<int> widths = sectionWidths();
    if (widths.empty()) {
        canvas->TextRect(Rect, Rect.Left + 2, Rect.Top, row);
    } else {
        for (const QCLRowCell& cell : QCLLayoutRow(row, delimiter_, widths, Rect.Left)) {
            TRect cellRect(cell.left, Rect.Top, cell.right, Rect.Bottom);
            canvas->TextRect(cellRect, cell.left + 2, Rect.Top + 1, cell.text);
        }
        if (gridLines_ == glVertical || gridLines_ == glBoth) {
            canvas->GetPen()->SetColor(gridVertColor_);
            TRect client = list_->GetClientRect();
            for (int x : QCLGridLineXs(widths, Rect.Left)) {
                canvas->MoveTo(x, client.Top);
                canvas->LineTo(x, client.Bottom);
            }
        }
    }
    if (gridLines_ == glHorizontal || gridLines_ == glBoth) {
        canvas->GetPen()->SetColor(gridHorzColor_);
        canvas->MoveTo(Rect.Left, Rect.Bottom - 1);
        canvas->LineTo(Rect.Right, Rect.Bottom - 1);
    }
}

void TQCLListBox::refreshList() {
    if (list_->HandleAllocated()) list_->Invalidate();
}

void TQCLListBox::Dispatch(TMessage& Message) {
    if (Message.Msg == endHoldMessage()) {
        if (holding_) {
            holding_ = false;
            EndBulkAdd();
        }
        return;
    }
    if (Message.Msg == WM_ERASEBKGND) {
        // The parts cover the whole client area; erasing would only flicker.
        // The vertical lines reach below the last row, so the list redraws them.
        Message.Result = 1;
        if ((gridLines_ == glVertical || gridLines_ == glBoth) && list_->HandleAllocated()) list_->Invalidate();
        return;
    }
    TQCLCustomScrollBox::Dispatch(Message);
}

void TQCLListBox::HeaderSized(THeaderControl* HeaderControl, THeaderSection* Section) {
    refreshList();
    if (OnHeaderSized) OnHeaderSized(HeaderControl, Section->GetIndex(), Section->GetWidth());
    if (OnHeaderSectionResize) OnHeaderSectionResize(HeaderControl, Section);
}

// --- simple properties ------------------------------------------------------

void TQCLListBox::SetDelimiter(char Value) {
    if (SetIfChanged(delimiter_, Value)) refreshList();
}

void TQCLListBox::SetGridLines(TQCLLBGridLines Value) {
    if (SetIfChanged(gridLines_, Value)) refreshList();
}

void TQCLListBox::SetListBoxStyle(TListBoxStyle Value) {
    if (!SetIfChanged(style_, Value)) return;
    if (Value == lbStandard) {
        // The height a standard list would take, then owner drawing again:
        // the built-in row drawing always runs through the owner-draw path.
        int height = list_->GetItemHeight();
        list_->SetStyle(lbStandard);
        list_->SetItemHeight(height);
        list_->SetStyle(lbOwnerDrawFixed);
    } else {
        list_->SetStyle(Value);
    }
}

void TQCLListBox::SetSections(TQCLHeaderStrings*) {
    throw Exception("This property is no longer used in QCL-Tools!");
}

void TQCLListBox::SetVirtualWidth(int Value) {
    if (Value == virtualWidth_ || Value < 0) return;
    virtualWidth_ = Value;
    if (Value > 0) {
        GetHorzScrollBar()->SetRange(Value);
        GetHorzScrollBar()->SetPosition(0);
        list_->SetAlign(alNone);
        header_->SetAlign(alNone);
        list_->SetLeft(0);
        header_->SetLeft(0);
        list_->SetWidth(Value);
    } else {
        list_->SetAlign(alClient);
        header_->SetAlign(alTop);
    }
    Realign();
}

void TQCLListBox::AlignControls(TControl* AControl, TRect& Rect) {
    if (loading(this) || destroying(this)) return;
    TQCLCustomScrollBox::AlignControls(AControl, Rect);
    DisableAlign();
    try {
        if (virtualWidth_ <= 0) {
            GetHorzScrollBar()->SetRange(0);
        } else {
            GetHorzScrollBar()->SetRange(virtualWidth_);
            if (list_->GetAlign() == alClient) list_->SetAlign(alNone);
            int top = 0;
            int width = virtualWidth_;
            if (header_->GetVisible()) {
                header_->SetWidth(virtualWidth_);
                width = header_->GetWidth();
                top = header_->GetHeight();
            }
            list_->SetBounds(list_->GetLeft(), top, width, GetClientHeight() - top);
        }
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
}

void TQCLListBox::Resize() {
    TQCLCustomScrollBox::Resize();
    Realign();
}

void TQCLListBox::SetFocus() { list_->SetFocus(); }

bool TQCLListBox::Focused() { return TQCLCustomScrollBox::Focused() || list_->Focused(); }

// --- indexed accessors --------------------------------------------------------

bool TQCLListBox::GetBool(int Index) {
    switch (Index) {
    case 0: return list_->GetEnabled();
    case 1: return list_->GetExtendedSelect();
    case 2: return header_->GetVisible();
    case 3: return list_->GetMultiSelect();
    case 4: return list_->GetSorted();
    case headerEnabledIndex: return header_->GetEnabled();
    case 6: return list_->GetShowHint();
    case 7: return list_->GetParentShowHint();
    case 8: return list_->GetTabStop();
    case 12: return header_->GetHotTrack();
    case 13: return header_->GetFlat();
    default: return false;  // 20, 21: the scroll box's own bars are never published as on
    }
}

void TQCLListBox::SetBool(int Index, bool Value) {
    switch (Index) {
    case 0:
        if (list_->GetEnabled() != Value) {
            list_->SetEnabled(Value);
            header_->SetEnabled(Value);
            SetEnabled(Value);
        }
        break;
    case 1:
        if (list_->GetExtendedSelect() != Value) list_->SetExtendedSelect(Value);
        break;
    case 2:
        if (header_->GetVisible() != Value) {
            header_->SetVisible(Value);
            Realign();
        }
        break;
    case 3:
        if (list_->GetMultiSelect() != Value) list_->SetMultiSelect(Value);
        break;
    case 4:
        if (list_->GetSorted() != Value) list_->SetSorted(Value);
        break;
    case headerEnabledIndex:
        if (header_->GetEnabled() != Value) header_->SetEnabled(Value);
        break;
    case 6:
        if (list_->GetShowHint() != Value) {
            list_->SetShowHint(Value);
            header_->SetShowHint(Value);
        }
        break;
    case 7:
        if (list_->GetParentShowHint() != Value) {
            list_->SetParentShowHint(Value);
            header_->SetParentShowHint(Value);
        }
        break;
    case 8:
        if (list_->GetTabStop() != Value) list_->SetTabStop(Value);
        break;
    case 12: header_->SetHotTrack(Value); break;
    case 13: header_->SetFlat(Value); break;
    default: break;
    }
}

int TQCLListBox::GetInteger(int Index) {
    switch (Index) {
    case 0: return header_->GetHeight();
    case 1: return list_->GetItemIndex();
    case 2: return list_->GetTopIndex();
    case 3: return list_->GetSelCount();
    case 4: return list_->GetItemHeight();
    case 5: return header_->GetSections()->GetCount();
    default: return 0;
    }
}

void TQCLListBox::SetInteger(int Index, int Value) {
    switch (Index) {
    case 0:
        if (header_->GetHeight() != Value) {
            header_->SetHeight(Value);
            Realign();
        }
        break;
    case 1: list_->SetItemIndex(Value); break;
    case 2: list_->SetTopIndex(Value); break;
    case 4:
        if (style_ != lbStandard) list_->SetItemHeight(Value);
        break;
    default: break;
    }
}

TColor TQCLListBox::GetColor(int Index) const {
    switch (Index) {
    case 0: return list_->GetColor();
    case 1: return selectedColor_;
    default: return static_cast<TColor>(0xFFFFFF);
    }
}

void TQCLListBox::SetColor(int Index, TColor Value) {
    TColor* field = nullptr;
    switch (Index) {
    case 0: list_->SetColor(Value); return;
    case 1: field = &selectedColor_; break;
    case 2: field = &gridHorzColor_; break;
    case 3: field = &gridVertColor_; break;
    default: return;
    }
    if (SetIfChanged(*field, Value)) {
        Invalidate();
        refreshList();
    }
}

TFont* TQCLListBox::GetFont(int Index) const { return Index == 0 ? header_->GetFont() : list_->GetFont(); }

TCursor TQCLListBox::GetCursor(int Index) const {
    return Index == 1 ? list_->DragCursor : list_->GetCursor();
}

void TQCLListBox::SetCursor(int Index, TCursor Value) {
    if (Index == 1) {
        DragCursor = Value;  // Loaded hands it to the inner list again
        list_->DragCursor = Value;
    } else if (Index == 0) {
        list_->SetCursor(Value);
    }
}

AnsiString TQCLListBox::GetHint() const { return list_->GetHint(); }

void TQCLListBox::SetHint(const AnsiString& Value) {
    if (list_->GetHint() == Value) return;
    list_->SetHint(Value);
    header_->SetHint(Value);
}

void TQCLListBox::SetFont(int Index, TFont* Value) {
    if (Index == 0) header_->SetFont(Value);
    else list_->SetFont(Value);
}

// --- INI storage ----------------------------------------------------------------

AnsiString TQCLListBox::GetIniString() { return QCLWidthsToIni(sectionWidths()); }

void TQCLListBox::SetIniString(const AnsiString& Value) {
    std::vector<int> widths = QCLIniToWidths(Value);
    THeaderSections* sections = header_->GetSections();
    for (size_t i = 0; i < widths.size(); ++i) {
        if (sections->GetCount() < static_cast<int>(i) + 1)
            sections->Add()->SetText("S. " + std::to_string(i + 1));
        sections->GetItem(static_cast<int>(i))->SetWidth(widths[i]);
    }
    refreshList();
}

TQCLIniCtrl* TQCLListBox::iniControl() const {
    if (IniUse == ioUseLink) return iniLink_;
    if (IniUse == ioUseGlobal && QCLApplication) return QCLApplication->GetStorage();
    return nullptr;
}

void TQCLListBox::DoReadData() {
    TQCLIniCtrl* ini = iniControl();
    if (ini) {
        AnsiString text = ini->ReadString(Section, IniKey, "");
        if (!text.empty()) SetIniString(text);
    }
    if (OnIniReadData) OnIniReadData(this, ini, Section);
}

void TQCLListBox::DoWriteData() {
    TQCLIniCtrl* ini = iniControl();
    if (ini) {
        AnsiString text = GetIniString();
        if (!text.empty()) ini->WriteString(Section, IniKey, text);
        else ini->DeleteKey(Section, IniKey);
    }
    if (OnIniWriteData) OnIniWriteData(this, ini, Section);
}
