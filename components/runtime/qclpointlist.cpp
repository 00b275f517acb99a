// List of points packed into 32-bit entries.
#include "components/runtime/qclpointlist.h"

#include <cstdint>

namespace {

void* pack(const TPoint& p) {
    const auto packed = (static_cast<std::uint32_t>(p.x & 0xFFFF) << 16) | static_cast<std::uint32_t>(p.y & 0xFFFF);
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(packed));
}

TPoint unpack(void* entry) {
    const auto packed = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(entry));
    return TPoint(static_cast<int>(packed >> 16), static_cast<std::int16_t>(packed & 0xFFFF));
}

}  // namespace

void TQCLPointList::AddPoint(const TPoint& Point) {
    Add(nullptr);
    PutPoint(GetCount() - 1, Point);
    GetChange(this);
}

void TQCLPointList::GetPoint(int Index, TPoint& Point) const {
    if (Index > GetCount() - 1)
        return;
    Point = unpack(Get(Index));
}

void TQCLPointList::PutPoint(int Index, const TPoint& Point) {
    if (Index > GetCount() - 1)
        return;
    Put(Index, pack(Point));
    GetChange(this);
}

void TQCLPointList::DeletePoint(int Index) {
    Delete(Index);
    GetChange(this);
}

void TQCLPointList::Clone(TQCLPointList* Target) const {
    if (!Target)
        return;
    Target->Clear();
    for (int i = 0; i < GetCount(); ++i)
        Target->Add(Get(i));
}

void TQCLPointList::EndUpdate(bool Notify) {
    if (updateCount_ == 0)
        return;
    --updateCount_;
    if (Notify)
        GetChange(this);
}

void TQCLPointList::GetChange(TObject* Sender) {
    if (updateCount_ < 1 && OnChange)
        OnChange(Sender);
}
