// The multi-column list box: a header control on top of an owner-drawn list
// whose rows are coded strings (fields joined by one delimiter byte), each
// field drawn in the cell under its header section, with optional grid lines.
//
// Tricky points:
// - It is a composite: most list properties and events belong to the inner
//   list box, the header ones to the header control; at Loaded the list box's
//   own handlers are handed over to the inner list, so they receive the inner
//   list (or the header) as Sender.
// - OnSelect fires after the inner list has processed a left press; the list
//   box installs its own window procedure on the inner list at Loaded and puts
//   the saved one back before either part dies.
// - The inner list is always owner-drawn; Style only decides whether a given
//   OnDrawItem replaces the built-in row drawing.
// - Filling must not redraw per row: a visible list updates its scroll bar on
//   screen for every added row, milliseconds each under Wine. AddLine holds
//   the redraw until its posted message comes back through the message loop,
//   so rows added in one handler appear together; a paint forced before the
//   loop runs again (PaintTo right after AddLine) shows nothing new yet.
//   BeginBulkAdd/EndBulkAdd do the same explicitly and reserve storage.
#pragma once

#include "components/runtime/QCLIniCtrl.h"

#include "framework/ComCtrls.h"
#include "components/controls/QCLCustomScrollBox.h"
#include "framework/StdCtrls.h"

#include <string>
#include <vector>

class TQCLListBox;

enum TQCLLBGridLines { glNone, glHorizontal, glVertical, glBoth };
enum TQCLIniUse { ioUseLink, ioUseGlobal, ioNone };

using TQCLIniCtrlEvent = TEvent<void(TObject* Sender, TQCLIniCtrl* aIniCtrl, const AnsiString& Section)>;
using TQCLHeaderSizedEvent = TEvent<void(THeaderControl* HeaderControl, int SectionIndex, int Width)>;

// The header with an indexed section width whose setter reports the resize.
class TQCLHeaderControl : public THeaderControl {
public:
    explicit TQCLHeaderControl(TComponent* AOwner) : THeaderControl(AOwner) {}
    AnsiString ClassName() const override { return "TQCLHeaderControl"; }
    int GetSectionWidth(int Index) const;
    // Sets the width when it differs, then fires OnSectionResize for it.
    void SetSectionWidth(int Index, int Width);
};

// The header's old streamed form: a string list read once into sections.
class TQCLHeaderStrings : public TStringList {
public:
    explicit TQCLHeaderStrings(TQCLListBox* ListBox) : listBox_(ListBox) {}
    // Adds one header section per entry of the old "Sections" list.
    void ReadSections(TStrings* Entries);
    // Reads the old "Sections" list of an older layout; never writes it.
    void DefineProperties(TFiler* Filer) override;

private:
    TQCLListBox* listBox_;
};

class TQCLListBox : public TQCLCustomScrollBox {
public:
    explicit TQCLListBox(TComponent* AOwner);
    ~TQCLListBox() override;
    AnsiString ClassName() const override { return "TQCLListBox"; }
    // "ItemHeight" (only when Style is not lbStandard) and, while the header
    // strings still exist (until Loaded), the older "Sections".
    void DefineProperties(TFiler* Filer) override;

    // Rows
    int AddLine(const std::vector<std::string>& Values);
    AnsiString ItemPart(int Row, int Column);
    void SetItemPart(int Row, int Column, const AnsiString& Value);
    AnsiString GetPartString(const AnsiString& Text, int Column) const;
    void Clear();
    int ItemAtPos(const TPoint& Pos, bool Existing) { return list_->ItemAtPos(Pos, Existing); }
    void SpecialSort(const std::vector<int>& Columns);
    // Bulk filling: redraw and per-row scroll-bar updates off, storage for
    // ExpectedRows more rows reserved; the list repaints once at the end.
    // Brackets nest.
    void BeginBulkAdd(int ExpectedRows);
    void EndBulkAdd();

    // Indexed accessors (the published properties go through these).
    bool GetBool(int Index);
    void SetBool(int Index, bool Value);
    int GetInteger(int Index);
    void SetInteger(int Index, int Value);
    TColor GetColor(int Index) const;
    void SetColor(int Index, TColor Value);
    TFont* GetFont(int Index) const;
    void SetFont(int Index, TFont* Value);
    // 0 Cursor, 1 DragCursor: the inner list's.
    TCursor GetCursor(int Index) const;
    void SetCursor(int Index, TCursor Value);
    using TControl::GetCursor;
    using TControl::SetCursor;
    // The hint shown over the inner list and the header.
    AnsiString GetHint() const;
    void SetHint(const AnsiString& Value);

    TStrings* GetItems() const { return list_->GetItems(); }
    void SetItems(TStrings* Value) { list_->SetItems(Value); }
    bool GetSelected(int Row) { return list_->GetSelected(Row); }
    void SetSelected(int Row, bool Value) { list_->SetSelected(Row, Value); }
    TCanvas* GetListCanvas() { return list_->GetCanvas(); }
    char GetDelimiter() const { return delimiter_; }
    void SetDelimiter(char Value);
    TQCLLBGridLines GetGridLines() const { return gridLines_; }
    void SetGridLines(TQCLLBGridLines Value);
    TListBoxStyle GetStyle() const { return style_; }
    void SetListBoxStyle(TListBoxStyle Value);
    int GetVirtualWidth() const { return virtualWidth_; }
    void SetVirtualWidth(int Value);
    THeaderSections* GetHeaderSections() const { return header_->GetSections(); }
    void SetHeaderSections(THeaderSections* Value) { header_->SetSections(Value); }
    TQCLHeaderStrings* GetSections() const { return headerStrings_; }
    // A property of old layouts: refused with the library's message.
    void SetSections(TQCLHeaderStrings* Value);

    // INI storage of the column widths.
    TQCLIniCtrl* GetIniLink() const { return iniLink_; }
    void SetIniLink(TQCLIniCtrl* Value);
    TQCLIniUse IniUse = ioNone;
    AnsiString Section = "Common";
    AnsiString IniKey = "ListBoxData";
    void ReadData() { DoReadData(); }
    void WriteData() { DoWriteData(); }
    AnsiString GetIniString();
    void SetIniString(const AnsiString& Value);

    void SetFocus() override;
    bool Focused() override;

    // The parts, for the windows that build on the list and for tests.
    TListBox* InnerList() const { return list_; }
    TQCLHeaderControl* Header() const { return header_; }

    TDrawItemEvent OnDrawItem;
    TQCLHeaderSizedEvent OnHeaderSized;
    TSectionNotifyEvent OnHeaderSectionResize;
    TNotifyEvent OnSelect;
    TQCLIniCtrlEvent OnIniReadData;
    TQCLIniCtrlEvent OnIniWriteData;

    void Dispatch(TMessage& Message) override;
    void Loaded() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void Resize() override;
    virtual void DoReadData();
    virtual void DoWriteData();
    // The inner list's owner-draw handler.
    void DrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State);
    void PrepareDrawItem(const TRect& Rect, TOwnerDrawState State);
    void HeaderSized(THeaderControl* HeaderControl, THeaderSection* Section);

private:
    void listWindowProc(TMessage& Message);
    TQCLIniCtrl* iniControl() const;
    void refreshList();
    std::vector<int> sectionWidths() const;
    void holdRedrawUntilIdle();

    TQCLHeaderControl* header_;
    TListBox* list_;
    TQCLHeaderStrings* headerStrings_;
    char delimiter_ = ';';
    TColor selectedColor_ = clHighlight;
    TColor gridHorzColor_ = clSilver;
    TColor gridVertColor_ = clSilver;
    TQCLLBGridLines gridLines_ = glNone;
    TListBoxStyle style_ = lbStandard;
    int virtualWidth_ = 0;
    TQCLIniCtrl* iniLink_ = nullptr;
    TWndMethod savedListProc_;
    bool subclassed_ = false;
    int bulkDepth_ = 0;
    bool holding_ = false;

public:
    BRIM_PROPERTY(Items, TQCLListBox::GetItems, TQCLListBox::SetItems);
    BRIM_PROPERTY(Hint, TQCLListBox::GetHint, TQCLListBox::SetHint);
    BRIM_INDEXED(Selected, TQCLListBox::GetSelected, TQCLListBox::SetSelected);
    BRIM_READONLY(Canvas, TQCLListBox::GetListCanvas);
    BRIM_PROPERTY(Delimiter, TQCLListBox::GetDelimiter, TQCLListBox::SetDelimiter);
    BRIM_PROPERTY(GridLines, TQCLListBox::GetGridLines, TQCLListBox::SetGridLines);
    BRIM_PROPERTY(Style, TQCLListBox::GetStyle, TQCLListBox::SetListBoxStyle);
    BRIM_PROPERTY(VirtualWidth, TQCLListBox::GetVirtualWidth, TQCLListBox::SetVirtualWidth);
    BRIM_PROPERTY(HeaderSections, TQCLListBox::GetHeaderSections, TQCLListBox::SetHeaderSections);
    BRIM_PROPERTY(Sections, TQCLListBox::GetSections, TQCLListBox::SetSections);
    BRIM_PROPERTY(IniLink, TQCLListBox::GetIniLink, TQCLListBox::SetIniLink);
};
