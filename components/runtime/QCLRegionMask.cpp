// Region data and border pictures of a bitmap-shaped form; see QCLRegionMask.h.
#include "components/runtime/QCLRegionMask.h"

#include "components/runtime/qclstreamutils.h"

#include "framework/Filer.h"

#include <algorithm>
#include <cstring>

bool QCLValidRegionData(const void* Data, int Size) {
    if (!Data || Size < static_cast<int>(sizeof(RGNDATAHEADER)))
        return false;
    RGNDATAHEADER header;
    std::memcpy(&header, Data, sizeof header);
    const unsigned long long room = static_cast<unsigned long long>(Size) - sizeof(RGNDATAHEADER);
    return header.dwSize == sizeof(RGNDATAHEADER) && header.iType == RDH_RECTANGLES &&
           static_cast<unsigned long long>(header.nCount) * sizeof(RECT) <= room;
}

TQCLRegionMask::TQCLRegionMask() : border_(new TBitmap) {}

TQCLRegionMask::~TQCLRegionMask() {
    delete up_;
    delete down_;
    delete border_;
}

void TQCLRegionMask::SetRegionData(const void* Data, int Size) {
    data_.assign(static_cast<const char*>(Data), Data && Size > 0 ? static_cast<size_t>(Size) : 0);
    dataSize_ = static_cast<int>(data_.size());
}

void TQCLRegionMask::GetMem() { data_.assign(static_cast<size_t>(std::max(dataSize_, 0)), '\0'); }

void TQCLRegionMask::FreeMem() {
    data_.clear();
    dataSize_ = 0;
}

void TQCLRegionMask::GetRegionData(HRGN Region) {
    if (dataSize_ <= 0 || data_.empty())
        return;
    ::GetRegionData(Region, static_cast<DWORD>(UsableSize()), reinterpret_cast<RGNDATA*>(&data_[0]));
}

int TQCLRegionMask::UsableSize() const { return std::max(0, std::min(dataSize_, static_cast<int>(data_.size()))); }

win32::RegionHandle TQCLRegionMask::CreateRegion() const {
    const int size = UsableSize();
    if (!QCLValidRegionData(data_.data(), size))
        return win32::RegionHandle();
    return win32::RegionHandle(
        ExtCreateRegion(nullptr, static_cast<DWORD>(size), reinterpret_cast<const RGNDATA*>(data_.data())));
}

TBitmap*& TQCLRegionMask::slot(int which) { return which == 1 ? up_ : which == 2 ? down_ : border_; }

void TQCLRegionMask::SetBorderBmp(int Which, TBitmap* Bitmap) {
    TBitmap*& target = slot(Which);
    if (!target)
        target = new TBitmap;
    target->Assign(Bitmap);
}

TBitmap* TQCLRegionMask::CreateBorderUpBmp() {
    if (!up_)
        up_ = new TBitmap;
    return up_;
}

TBitmap* TQCLRegionMask::CreateBorderDnBmp() {
    if (!down_)
        down_ = new TBitmap;
    return down_;
}

void TQCLRegionMask::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TQCLRegionMask*>(Source);
    if (!source) {
        TQCLObject::Assign(Source);
        return;
    }
    if (source == this)
        return;
    FreeMem();
    if (source->UsableSize() == 0)
        return;
    SetRegionData(source->data_.data(), source->UsableSize());
    for (int which = 0; which < 3; ++which) {
        TBitmap* from = source->slot(which);
        if (from)
            SetBorderBmp(which, from);
        else if (which != 0) {
            delete slot(which);
            slot(which) = nullptr;
        }
    }
}

bool TQCLRegionMask::hasPicture(const TBitmap* bitmap) { return bitmap && !bitmap->GetEmpty(); }

void TQCLRegionMask::DefineProperties(TFiler* Filer) {
    Filer->DefineBinaryProperty("RegionData", TStreamProc([this](TStream* s) { readData(s); }),
                                TStreamProc([this](TStream* s) { writeData(s); }), UsableSize() > 0);
    Filer->DefineBinaryProperty("BorderBmp", TStreamProc([this](TStream* s) { readPicture(s, border_); }),
                                TStreamProc([this](TStream* s) { writePicture(s, border_); }), hasPicture(border_));
    Filer->DefineBinaryProperty("BorderUpBmp", TStreamProc([this](TStream* s) { readPicture(s, up_); }),
                                TStreamProc([this](TStream* s) { writePicture(s, up_); }), hasPicture(up_));
    Filer->DefineBinaryProperty("BorderDnBmp", TStreamProc([this](TStream* s) { readPicture(s, down_); }),
                                TStreamProc([this](TStream* s) { writePicture(s, down_); }), hasPicture(down_));
}

void TQCLRegionMask::readData(TStream* stream) {
    const int64_t available = stream->GetSize() - stream->GetPosition();
    const int64_t wanted = dataSize_ > 0 ? dataSize_ : available;
    if (wanted > available)
        throw EReadError("Stream read error");
    std::string bytes(static_cast<size_t>(wanted), '\0');
    if (wanted > 0)
        stream->ReadBuffer(&bytes[0], static_cast<int>(wanted));
    data_.swap(bytes);
    dataSize_ = static_cast<int>(data_.size());
}

void TQCLRegionMask::writeData(TStream* stream) { stream->WriteBuffer(data_.data(), UsableSize()); }

void TQCLRegionMask::readPicture(TStream* stream, TBitmap*& bitmap) {
    const bool compressed = stReadByte(stream) != 0;
    TBitmap picture;
    stReadBitmap(stream, &picture, compressed);
    if (!bitmap)
        bitmap = new TBitmap;
    bitmap->Assign(&picture);
    compressed_ = compressed;
}

void TQCLRegionMask::writePicture(TStream* stream, TBitmap* bitmap) {
    stWriteByte(stream, compressed_ ? 1 : 0);
    stWriteBitmap(stream, bitmap, compressed_, -1);
}
