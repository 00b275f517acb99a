// A saw-tooth edge of a shape (TQCLTeeth): how many teeth, along which side,
// their width and height, and whether the outline starts on a tooth. With
// SetPerCount the outline calculation sets the teeth's Width (or Height)
// from the side's length, silently.
#pragma once

#include "components/runtime/QCLObject.h"
#include "components/runtime/Qclgraph.h"

#include <cstdint>

class TQCLTeeth : public TQCLObject {
public:
    TQCLTeeth() = default;
    AnsiString ClassName() const override { return "TQCLTeeth"; }
    void Assign(TPersistent* Source) override;

    // 0..50 (not enforced).
    std::uint8_t GetCount() const { return count_; }
    void SetCount(std::uint8_t value);
    TQCLDirection GetDirection() const { return direction_; }
    void SetDirection(TQCLDirection value);
    // Index 0 Width, 1 Height; another index stores nothing but notifies.
    int GetSize(int index) const { return index == 0 ? width_ : height_; }
    void SetSize(int index, int value);
    // Index 0 Offset, 1 SetPerCount; another index stores nothing but notifies.
    bool GetFlag(int index) const { return index == 0 ? offset_ : setPerCount_; }
    void SetFlag(int index, bool value);

    int GetWidth() const { return width_; }
    void SetWidth(int value) { SetSize(0, value); }
    int GetHeight() const { return height_; }
    void SetHeight(int value) { SetSize(1, value); }
    bool GetOffset() const { return offset_; }
    void SetOffset(bool value) { SetFlag(0, value); }
    bool GetSetPerCount() const { return setPerCount_; }
    void SetSetPerCount(bool value) { SetFlag(1, value); }

    BRIM_PROPERTY(Count, TQCLTeeth::GetCount, TQCLTeeth::SetCount);
    BRIM_PROPERTY(Direction, TQCLTeeth::GetDirection, TQCLTeeth::SetDirection);
    BRIM_PROPERTY(Width, TQCLTeeth::GetWidth, TQCLTeeth::SetWidth);
    BRIM_PROPERTY(Height, TQCLTeeth::GetHeight, TQCLTeeth::SetHeight);
    BRIM_PROPERTY(Offset, TQCLTeeth::GetOffset, TQCLTeeth::SetOffset);
    BRIM_PROPERTY(SetPerCount, TQCLTeeth::GetSetPerCount, TQCLTeeth::SetSetPerCount);

private:
    std::uint8_t count_ = 10;
    TQCLDirection direction_ = tdRight;
    int width_ = 10;
    int height_ = 0;
    bool offset_ = true;
    bool setPerCount_ = true;
};
