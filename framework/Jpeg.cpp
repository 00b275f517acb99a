/*
 * TJPEGImage; see Jpeg.h. The decoded RGB rows are copied into a top-down
 * 24-bit DIB section (BGR order).
 */
#include "framework/Jpeg.h"

#include "framework/JpegDecode.h"

TJPEGImage::TJPEGImage() : bitmap_(new TBitmap) {}
TJPEGImage::~TJPEGImage() { delete bitmap_; }

TGraphic* TJPEGImage::Clone() const {
    auto* copy = new TJPEGImage;
    copy->Assign(const_cast<TJPEGImage*>(this));
    return copy;
}

void TJPEGImage::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TJPEGImage*>(Source)) {
        data_ = source->data_;
        bitmap_->Assign(source->bitmap_);
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TJPEGImage::decode(const AnsiString& data) {
    unsigned char* rgb = nullptr;
    int width = 0, height = 0;
    const BrimJpegResult result = brim_jpeg_decode(reinterpret_cast<const unsigned char*>(data.data()),
                                                   static_cast<unsigned long>(data.size()), &rgb, &width, &height);
    if (result == brimJpegUnsupported) throw EInvalidGraphic("Unsupported JPEG colour format");
    if (result == brimJpegNoMemory) throw EOutOfMemory("Out of memory");
    if (result != brimJpegOk) throw EInvalidGraphic("JPEG error #%d", {static_cast<int>(result)});
    struct FreeOnExit {
        unsigned char* p;
        ~FreeOnExit() { brim_jpeg_free(p); }
    } guard{rgb};
    TBitmap* decoded = new TBitmap;
    try {
        decoded->PixelFormat = pf24bit;
        decoded->SetSize(width, height);
        for (int y = 0; y < height; ++y) {
            auto* row = static_cast<unsigned char*>(decoded->GetScanLine(y));
            const unsigned char* source = rgb + static_cast<size_t>(y) * width * 3;
            for (int x = 0; x < width; ++x) {
                row[x * 3] = source[x * 3 + 2];
                row[x * 3 + 1] = source[x * 3 + 1];
                row[x * 3 + 2] = source[x * 3];
            }
        }
    } catch (...) {
        delete decoded;
        throw;
    }
    delete bitmap_;
    bitmap_ = decoded;
    data_ = data;
}

void TJPEGImage::LoadFromStream(TStream* Stream) {
    int64_t size = Stream->GetSize() - Stream->GetPosition();
    AnsiString data(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (!data.empty()) Stream->ReadBuffer(&data[0], static_cast<int>(data.size()));
    decode(data);
    Changed();
}

void TJPEGImage::SaveToStream(TStream* Stream) {
    if (!data_.empty()) Stream->WriteBuffer(data_.data(), static_cast<int>(data_.size()));
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect) { ACanvas->StretchDraw(Rect, bitmap_); }
