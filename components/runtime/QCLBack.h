// Form background tiled with one picture of an image list. Without a list,
// or with indexes that name no valid picture, it leaves erasing to the form
// (or to the owner-draw event of its base).
#pragma once

#include "components/runtime/QCLCustomFormFill.h"

class TQCLBack : public TQCLCustomFormFill {
public:
    explicit TQCLBack(TComponent* AOwner) : TQCLCustomFormFill(AOwner) {}
    bool PaintClientArea(HDC DC) override;
    AnsiString ClassName() const override { return "TQCLBack"; }
};
