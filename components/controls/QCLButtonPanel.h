// TQCLButtonPanel: a panel that lays out speed buttons in a grid of equal
// cells, rows filled left to right, and sizes itself to fit them.
//
// Tricky points:
// - ButtonWidth and ButtonHeight below 1 are refused (the grid divides by them).
// - The grid arithmetic is the window-free QCLButtonPanelGrid.
// - The buttons are the edit's special-button collection (QCLSpecialButtons.h):
//   each item owns the speed button that shows it, and every change of the
//   collection lays the grid out again at once. The collection goes before
//   the panel's components, so no speed button is freed twice.
// - The layout stops at the first item without a speed button.
#pragma once

#include "components/controls/QCLCustomPanel.h"
#include "components/controls/QCLSpecialButtons.h"
#include "components/controls/QCLSpeedButton.h"
#include "components/runtime/QCLBevel.h"

struct TQCLButtonGrid {
    int Columns;
    int Rows;
};
// Columns and rows for Count buttons of ButtonWidth x ButtonHeight in an
// available area of Width x Height.
TQCLButtonGrid QCLButtonPanelGrid(int Width, int Height, int Count, int ButtonWidth, int ButtonHeight);

using TQCLBtnClickEvent = TEvent<void(TObject* Sender, TObject* SendBtn, int Btn)>;

class TQCLButtonPanel : public TQCLCustomPanelFill {
public:
    explicit TQCLButtonPanel(TComponent* AOwner);
    ~TQCLButtonPanel() override;
    AnsiString ClassName() const override { return "TQCLButtonPanel"; }

    void Loaded() override;
    void Dispatch(TMessage& Message) override;
    void GetChange(TObject* Sender) override;
    bool GetEmpty() override { return ButtonCount() == 0; }

    TQCLSpecialButtons* GetButtons() const { return buttons_; }
    // Copies the items of Value (the collection stays the panel's own).
    void SetButtons(TQCLSpecialButtons* Value);
    // Adds an item at the end, or inserts one at Index (clamped); the new item's index.
    int AddButton();
    int InsertButton(int Index);
    int ButtonCount() const { return buttons_ ? buttons_->GetCount() : 0; }
    // The speed button of item Index.
    TQCLSpeedButton* Button(int Index) const { return buttons_->GetItem(Index)->GetSpeedButton(); }
    void SetBorders();
    // A click on an item's speed button, passed on as OnButtonClick(panel, button, button's Tag).
    void ButtonClicked(TQCLSpeedButton* Button);

    int GetBtnSize(int Index) const { return Index == 0 ? buttonHeight_ : buttonWidth_; }
    // Index 0 ButtonHeight, 1 ButtonWidth; values below 1 are refused.
    void SetBtnSize(int Index, int Value);
    TQCLUserButtonStyle GetButtonStyle() const { return buttonStyle_; }
    void SetBtnStyle(TQCLUserButtonStyle Value);

    TQCLBtnClickEvent OnButtonClick;

private:
    TQCLSpecialButtons* buttons_;
    int buttonWidth_ = 20;
    int buttonHeight_ = 20;
    TQCLUserButtonStyle buttonStyle_ = ubsAutoDetect;
    bool arranging_ = false;
};
