// TQCLButtonPanel: a panel that lays out speed buttons in a grid of equal
// cells, rows filled left to right, and sizes itself to fit them.
//
// Tricky points:
// - ButtonWidth and ButtonHeight below 1 are refused (the grid divides by them).
// - The grid arithmetic is the window-free QCLButtonPanelGrid.
// - The edit's special-button collection is not used: the panel owns plain
//   speed buttons that AddButton and InsertButton create.
#pragma once

#include "components/controls/QCLCustomPanel.h"
#include "components/controls/QCLSpeedButton.h"
#include "components/runtime/QCLBevel.h"

#include <vector>

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
    bool GetEmpty() override { return buttons_.empty(); }

    int AddButton();
    int InsertButton(int Index);
    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    TQCLSpeedButton* Button(int Index) const { return buttons_[static_cast<size_t>(Index)]; }
    void SetBorders();

    int GetBtnSize(int Index) const { return Index == 0 ? buttonHeight_ : buttonWidth_; }
    // Index 0 ButtonHeight, 1 ButtonWidth; values below 1 are refused.
    void SetBtnSize(int Index, int Value);
    TQCLUserButtonStyle GetButtonStyle() const { return buttonStyle_; }
    void SetBtnStyle(TQCLUserButtonStyle Value);

    TQCLBtnClickEvent OnButtonClick;

private:
    void buttonClicked(TObject* Sender);
    TQCLSpeedButton* makeButton();

    std::vector<TQCLSpeedButton*> buttons_;
    int buttonWidth_ = 20;
    int buttonHeight_ = 20;
    TQCLUserButtonStyle buttonStyle_ = ubsAutoDetect;
    bool arranging_ = false;
};
