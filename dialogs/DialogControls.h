/*
 * The three kinds of control the dialogs put on their content panels, named
 * once here: labels, edits and the percentage meter. Every dialog uses these
 * names only, so the controls behind them can change in this one place.
 *
 * Tricky point: DialogMeter paints its own bar and percentage text; Position
 * runs from 0 to Max and the text is Position * 100 / Max, truncated.
 */
#pragma once

#include "components/controls/QCLSimpleLabel.h"
#include "framework/Framework.h"
#include "vault/SecureMemory.h"

using DialogLabel = TQCLSimpleLabel;
using DialogEdit = TEdit;

// The text of a password edit as a wiped buffer; the temporary copy is wiped too.
SecretText readSecret(DialogEdit* edit);

class DialogMeter : public TGraphicControl {
public:
    explicit DialogMeter(TComponent* AOwner);

    int GetMax() const { return max_; }
    void SetMax(int value);
    int GetPosition() const { return position_; }
    void SetPosition(int value);
    int GetPercent() const { return max_ > 0 ? position_ * 100 / max_ : 0; }
    // Sets Position so that the meter shows percent.
    void SetPercent(int percent);
    TColor GetBarColor() const { return barColor_; }
    void SetBarColor(TColor value);

protected:
    void Paint() override;

private:
    int max_ = 100;
    int position_ = 0;
    TColor barColor_ = clNavy;

public:
    BRIM_PROPERTY(Max, DialogMeter::GetMax, DialogMeter::SetMax);
    BRIM_PROPERTY(Position, DialogMeter::GetPosition, DialogMeter::SetPosition);
    BRIM_READONLY(Percent, DialogMeter::GetPercent);
    BRIM_PROPERTY(BarColor, DialogMeter::GetBarColor, DialogMeter::SetBarColor);
};
