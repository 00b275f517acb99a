// The outline of a bitmap-shaped form: raw Windows region data and the three
// border pictures (the border picture is the form's background), stored in
// layouts as "RegionData", "BorderBmp", "BorderUpBmp" and "BorderDnBmp".
//
// Tricky points:
// - RegionDataSize is only a number: raising it after GetMem does not grow
//   the block, so every use takes the smaller of the two sizes.
// - Region data is checked (header, rectangle count within the bytes) before
//   the system builds a region from it; bad data gives no region.
// - Reading "RegionData" takes RegionDataSize bytes when the size is known
//   and the whole block otherwise; a block shorter than the size raises the
//   framework's read error and leaves the mask unchanged.
// - Reading a picture property sets Compressed from its flag byte.
#pragma once

#include "components/runtime/QCLObject.h"
#include "components/runtime/qclcont.h"

#include "framework/Graphics.h"
#include "framework/Win32Handles.h"

#include <string>

class TQCLRegionMask : public TQCLObject {
public:
    TQCLRegionMask();
    ~TQCLRegionMask() override;
    AnsiString ClassName() const override { return "TQCLRegionMask"; }
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;

    int GetDataSize() const { return dataSize_; }
    // Stores the number only.
    void SetDataSize(int value) { dataSize_ = value; }
    // Adopts a copy of Size bytes as the data block; the size follows.
    void SetRegionData(const void* Data, int Size);
    // A fresh zeroed block of RegionDataSize bytes.
    void GetMem();
    // Frees the block; the size becomes 0.
    void FreeMem();
    // Fills the block from the region, RegionDataSize bytes at most.
    void GetRegionData(HRGN Region);
    // The bytes usable as region data: the block, at most RegionDataSize of them.
    int UsableSize() const;
    const std::string& Data() const { return data_; }
    // The region the data describes; none without (valid) data.
    win32::RegionHandle CreateRegion() const;

    // 0 border, 1 up, 2 down; copies.
    void SetBorderBmp(int Which, TBitmap* Bitmap);
    TBitmap* GetBorderBmp() const { return border_; }
    TBitmap* GetBorderUpBmp() const { return up_; }
    TBitmap* GetBorderDnBmp() const { return down_; }
    TBitmap* CreateBorderUpBmp();
    TBitmap* CreateBorderDnBmp();

    TQCLSavePixelFormat GetPixelFormat() const { return pixelFormat_; }
    void SetPixelFormat(TQCLSavePixelFormat value) { pixelFormat_ = value; }
    bool GetCompressed() const { return compressed_; }
    void SetCompressed(bool value) { compressed_ = value; }

    BRIM_PROPERTY(RegionDataSize, TQCLRegionMask::GetDataSize, TQCLRegionMask::SetDataSize);
    BRIM_PROPERTY(PixelFormat, TQCLRegionMask::GetPixelFormat, TQCLRegionMask::SetPixelFormat);
    BRIM_PROPERTY(Compressed, TQCLRegionMask::GetCompressed, TQCLRegionMask::SetCompressed);

private:
    TBitmap*& slot(int which);
    void readData(TStream* stream);
    void writeData(TStream* stream);
    void readPicture(TStream* stream, TBitmap*& bitmap);
    void writePicture(TStream* stream, TBitmap* bitmap);
    static bool hasPicture(const TBitmap* bitmap);

    std::string data_;
    int dataSize_ = 0;
    TBitmap* up_ = nullptr;
    TBitmap* down_ = nullptr;
    TBitmap* border_ = nullptr;
    TQCLSavePixelFormat pixelFormat_ = spfDefault;
    bool compressed_ = false;
};

// Whether Size bytes at Data are a well-formed rectangle list region block.
bool QCLValidRegionData(const void* Data, int Size);
