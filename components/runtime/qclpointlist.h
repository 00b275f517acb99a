// A list of points packed into 32-bit entries (X in the high 16 bits, Y in the
// low 16 bits), used for the outlines of shapes and regions.
//
// X reads back unsigned (0..65535) and Y signed (-32768..32767): a point with
// X = -1 reads back with X = 65535. Every change calls OnChange unless an
// update is open; AddPoint notifies twice (once through PutPoint).
#pragma once

#include "framework/Classes.h"

class TQCLPointList : public TList {
public:
    void AddPoint(const TPoint& Point);
    // Leaves Point unchanged for an index past the last; a negative index raises.
    void GetPoint(int Index, TPoint& Point) const;
    // Does nothing for an index past the last; a negative index raises.
    void PutPoint(int Index, const TPoint& Point);
    void DeletePoint(int Index);
    void Clone(TQCLPointList* Target) const;

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate(bool Notify);
    void GetChange(TObject* Sender);

    TNotifyEvent OnChange;

private:
    int updateCount_ = 0;
};
