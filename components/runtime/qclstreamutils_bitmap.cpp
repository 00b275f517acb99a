// Bitmap fields of the stream functions (part of the qclstreamutils unit):
// a bitmap as a BMP file image of a chosen colour depth, plain with a length
// or as a compressed stream.
//
// The BMP image is built from the bitmap's pixels as the system returns them
// for the chosen header (GetDIBits), so a 24-bit bitmap can be written with 1,
// 4 or 8 bits and a colour table, bottom-up as BMP files are.
#include "components/runtime/qclstreamutils.h"

#include "framework/Graphics.h"

#include "components/runtime/qclerrors.h"

#include <cstring>
#include <vector>

namespace {

#pragma pack(push, 1)
struct FileHeader {
    char magic[2] = {'B', 'M'};
    uint32_t fileSize = 0;
    uint32_t reserved = 0;
    uint32_t pixelOffset = 0;
};
#pragma pack(pop)
static_assert(sizeof(FileHeader) == 14, "BMP file header is 14 bytes");

// Bits per pixel for a depth selector: 0 the bitmap's own depth, 2 one bit,
// 16 four bits, 256 eight bits; 16 and 32 bits are written as 24.
int bitsFor(HBITMAP handle, int selector, bool monochrome) {
    if (monochrome)
        selector = 2;
    int bits = 0;
    switch (selector) {
    case 2: bits = 1; break;
    case 16: bits = 4; break;
    case 256: bits = 8; break;
    default: {
        BITMAP info{};
        GetObjectA(handle, sizeof(info), &info);
        bits = info.bmPlanes * info.bmBitsPixel;
    }
    }
    return bits == 16 || bits == 32 || bits == 0 ? 24 : bits;
}

// A device context of the window with the keyboard focus, or of the screen.
class FocusDC {
public:
    FocusDC() : window_(GetFocus()), dc_(GetDC(window_)) {}
    ~FocusDC() { ReleaseDC(window_, dc_); }
    FocusDC(const FocusDC&) = delete;
    FocusDC& operator=(const FocusDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Refuses a BMP image whose header claims more pixel bytes than the image
// holds, before the picture's memory is made from those claims.
void checkPixelsFit(const TMemoryStream& image) {
    const int64_t size = image.GetSize();
    if (size < 14 + 40) return;  // too short for any picture: the loader refuses it
    const auto* bytes = static_cast<const unsigned char*>(image.Memory());
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    std::memcpy(&file, bytes, sizeof file);
    std::memcpy(&info, bytes + sizeof file, sizeof info);
    const int64_t width = info.biWidth;
    const int64_t height = info.biHeight < 0 ? -int64_t(info.biHeight) : int64_t(info.biHeight);
    const int64_t stride = (width * info.biBitCount + 31) / 32 * 4;
    if (info.biPlanes != 1 || width < 0 || stride < 0 || file.bfOffBits > size || stride * height > size - file.bfOffBits)
        throw EInvalidGraphic(QCLLoadStr(65248, "Bitmap image is not valid"));
}

}  // namespace

void QCLBmpSaveDIBStream(TStream* Stream, TBitmap* Bitmap, int DepthSelector) {
    if (!Bitmap || !Bitmap->HandleAllocated())
        throw Exception(QCLLoadStr(65248, "Bitmap image is not valid"));
    const bool monochrome = Bitmap->Monochrome();
    const HBITMAP handle = Bitmap->Handle;
    const int bits = bitsFor(handle, DepthSelector, monochrome);
    const int width = Bitmap->Width, height = Bitmap->Height;
    const int colours = bits < 24 ? 1 << bits : 0;
    const uint32_t infoSize = 40 + 4 * colours;
    const uint32_t imageSize = static_cast<uint32_t>(height) * ((width * bits + 31) / 32 * 4);

    std::vector<unsigned char> info(infoSize, 0);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = 40;
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bits);
    header->biCompression = BI_RGB;
    header->biSizeImage = imageSize;
    std::vector<unsigned char> pixels(imageSize);
    {
        FocusDC dc;
        if (height > 0 && !GetDIBits(dc.get(), handle, 0, static_cast<UINT>(height), pixels.data(),
                                     reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS))
            throw Exception(QCLLoadStr(65248, "Bitmap image is not valid"));
    }
    // GetDIBits may fill in fields of its own; the file keeps the documented ones.
    header->biSizeImage = imageSize;
    header->biXPelsPerMeter = header->biYPelsPerMeter = 0;
    header->biClrUsed = header->biClrImportant = 0;

    FileHeader file;
    file.pixelOffset = 14 + infoSize;
    file.fileSize = file.pixelOffset + imageSize;
    Stream->WriteBuffer(&file, sizeof(file));
    Stream->WriteBuffer(info.data(), static_cast<int>(infoSize));
    if (imageSize > 0)
        Stream->WriteBuffer(pixels.data(), static_cast<int>(imageSize));
    Stream->Position = 0;
}

void stWriteBitmap(TStream* Stream, TBitmap* Bitmap, bool Compressed, int DepthSelector) {
    TMemoryStream image;
    if (DepthSelector == -1) {
        if (!Compressed) {
            const int64_t lengthAt = Stream->Position;
            stWriteInteger(Stream, 0);
            Bitmap->SaveToStream(Stream);
            const int64_t end = Stream->Position;
            Stream->Position = lengthAt;
            stWriteInteger(Stream, static_cast<int32_t>(end - lengthAt - 4));
            Stream->Position = end;
            return;
        }
        Bitmap->SaveToStream(&image);
        image.Position = 0;
    } else {
        QCLBmpSaveDIBStream(&image, Bitmap, DepthSelector);
    }
    if (Compressed) {
        SaveCompressedStream(&image, Stream, image.Size);
        return;
    }
    stWriteInteger(Stream, static_cast<int32_t>(image.Size));
    Stream->CopyFrom(&image, image.Size);
}

void stReadBitmap(TStream* Stream, TBitmap* Bitmap, bool Compressed) {
    TMemoryStream image;
    if (Compressed) {
        LoadCompressedStream(Stream, &image);
    } else {
        const int32_t length = stReadLength(Stream);
        image.SetSize(length);
        if (length > 0)
            Stream->ReadBuffer(image.Memory(), length);
    }
    checkPixelsFit(image);
    image.Position = 0;
    Bitmap->LoadFromStream(&image);
}
