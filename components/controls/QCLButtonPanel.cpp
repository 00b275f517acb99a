// The button panel's grid; see QCLButtonPanel.h.
#include "components/controls/QCLButtonPanel.h"

#include <algorithm>

TQCLButtonGrid QCLButtonPanelGrid(int Width, int Height, int Count, int ButtonWidth, int ButtonHeight) {
    ButtonWidth = std::max(1, ButtonWidth);
    ButtonHeight = std::max(1, ButtonHeight);
    int cols = std::max(1, std::min(Width / ButtonWidth, Count));
    int rows = 1;
    if (Count > cols) {
        rows = Height / ButtonHeight;
        if (cols == 1 && Count < rows) rows = Count;
        if (rows <= 0) rows = 1;
        while (rows > 1 && cols * rows > Count) --rows;
        while (cols * rows < Count) ++rows;
    }
    return {cols, rows};
}

TQCLButtonPanel::TQCLButtonPanel(TComponent* AOwner)
    : TQCLCustomPanelFill(AOwner), buttons_(new TQCLSpecialButtons(this, true)) {
    TControlStyle style = GetControlStyle();
    style >> csAcceptsControls >> csSetCaption >> csReplicatable;
    SetControlStyle(style);
}

// The items free their speed buttons, which the panel also owns.
TQCLButtonPanel::~TQCLButtonPanel() {
    arranging_ = true;  // no layout while the items go
    delete buttons_;
    buttons_ = nullptr;
}

void TQCLButtonPanel::Loaded() {
    TQCLCustomPanelFill::Loaded();
    SetBorders();
}

void TQCLButtonPanel::GetChange(TObject* Sender) {
    TQCLCustomPanelFill::GetChange(Sender);
    SetBorders();
}

void TQCLButtonPanel::Dispatch(TMessage& Message) {
    TQCLCustomPanelFill::Dispatch(Message);
    if (Message.Msg == WM_SIZE) SetBorders();
}

void TQCLButtonPanel::SetButtons(TQCLSpecialButtons* Value) {
    if (Value && Value != buttons_) buttons_->Assign(Value);
}

int TQCLButtonPanel::AddButton() {
    TQCLSpecialButton* item = buttons_->Add();
    if (TQCLSpeedButton* button = item->GetSpeedButton()) button->SetStyle(buttonStyle_);
    SetBorders();
    return item->GetIndex();
}

int TQCLButtonPanel::InsertButton(int Index) {
    TQCLSpecialButton* item = static_cast<TQCLSpecialButton*>(buttons_->Insert(std::clamp(Index, 0, ButtonCount())));
    if (TQCLSpeedButton* button = item->GetSpeedButton()) button->SetStyle(buttonStyle_);
    SetBorders();
    return item->GetIndex();
}

void TQCLButtonPanel::ButtonClicked(TQCLSpeedButton* Button) {
    if (OnButtonClick && Button) OnButtonClick(this, Button, Button->GetTag());
}

void TQCLButtonPanel::SetBtnSize(int Index, int Value) {
    if (Value < 1) return;
    int& field = Index == 0 ? buttonHeight_ : buttonWidth_;
    if (field == Value) return;
    field = Value;
    GetChange(this);
}

void TQCLButtonPanel::SetBtnStyle(TQCLUserButtonStyle Value) {
    buttonStyle_ = Value;
    for (int i = 0; i < ButtonCount(); ++i)
        if (TQCLSpeedButton* button = Button(i)) button->SetStyle(Value);
}

void TQCLButtonPanel::SetBorders() {
    if (IsLoading() || arranging_) return;
    arranging_ = true;
    const int ext = bevel_->GetMode() == bmWindows ? 0 : bevel_->GetBevelExtend();
    TRect avail(ext, ext, GetWidth() - ext, GetHeight() - ext);
    const int n = ButtonCount();
    const TQCLButtonGrid grid = QCLButtonPanelGrid(avail.Width(), avail.Height(), n, buttonWidth_, buttonHeight_);
    SetBounds(GetLeft(), GetTop(), grid.Columns * buttonWidth_ + 2 * ext, grid.Rows * buttonHeight_ + 2 * ext);
    for (int i = 0; i < n; ++i) {
        TQCLSpeedButton* button = Button(i);
        if (!button) break;
        const int left = (i % grid.Columns) * buttonWidth_ + avail.Left;
        const int top = ((i / grid.Columns) % grid.Rows) * buttonHeight_ + avail.Top;
        button->SetBounds(left, top, buttonWidth_, buttonHeight_);
    }
    arranging_ = false;
}
