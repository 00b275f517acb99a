// String, generic and wave items of the container unit, and reading one wave
// of a wave container file.
#include "components/runtime/qclcont.h"

#include "components/runtime/qclerrors.h"
#include "components/runtime/qclstreamutils.h"
#include "components/runtime/qclsysin.h"
#include "components/runtime/qclwave.h"

namespace {

// The plain form of a byte block: int32 length, then the bytes.
void readPlainBlock(TStream* stream, TMemoryStream* into) {
    const int32_t length = stReadLength(stream);
    into->SetSize(length);
    if (length > 0)
        stream->ReadBuffer(into->Memory(), length);
    into->Position = 0;
}

void writeBlock(TStream* stream, TMemoryStream* data, bool compressed) {
    data->Position = 0;
    if (compressed) {
        SaveCompressedStream(data, stream, data->Size);
    } else {
        stWriteInteger(stream, static_cast<int32_t>(data->Size));
        if (data->Size > 0)
            stream->WriteBuffer(data->Memory(), static_cast<int>(data->Size));
    }
    data->Position = 0;
}

uint8_t withData(uint8_t flags, bool empty) { return empty ? flags : flags | qclrecord::HasData; }

}  // namespace

// ---------------------------------------------------------------------------
// String item

TQCLStringListItem::TQCLStringListItem(TComponent* AOwner) : TQCLListItem(AOwner), strings_(new TStringList) {}
TQCLStringListItem::~TQCLStringListItem() { delete strings_; }

void TQCLStringListItem::SetList(TStrings* Value) {
    strings_->Assign(Value);
    Change();
}

void TQCLStringListItem::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TQCLStringListItem*>(Source)) {
        AssignStd(other);
        strings_->Assign(other->strings_);
    } else if (auto* strings = dynamic_cast<TStrings*>(Source)) {
        strings_->Assign(strings);
    } else {
        TQCLListItem::Assign(Source);
    }
}

uint8_t TQCLStringListItem::WriteFlag() { return withData(TQCLListItem::WriteFlag(), GetEmpty()); }

void TQCLStringListItem::WriteData(TStream* Stream) {
    WriteStd(Stream);
    if (!GetEmpty())
        stWriteStringList(Stream, strings_, GetCompressed());
}

void TQCLStringListItem::ReadData(TStream* Stream) {
    const uint8_t flags = ReadStd(Stream);
    if (flags & qclrecord::HasData)
        stReadStringList(Stream, strings_, GetCompressed());
    else
        strings_->Clear();
}

// ---------------------------------------------------------------------------
// Generic item

TQCLGenericListItem::TQCLGenericListItem(TComponent* AOwner) : TQCLListItem(AOwner), data_(new TMemoryStream) {}
TQCLGenericListItem::~TQCLGenericListItem() { delete data_; }

void TQCLGenericListItem::LoadFromFile(const AnsiString& FileName) {
    if (FileName.empty() || !FileExists(FileName)) {
        FreeData();
        return;
    }
    data_->LoadFromFile(FileName);
    dataFileName_ = ExtractFileName(FileName);
}

void TQCLGenericListItem::SaveToFile(const AnsiString& FileName) {
    TFileStream file(FileName, fmCreate);
    SaveToStream(&file);
}

void TQCLGenericListItem::LoadFromStream(TStream* Stream) { data_->LoadFromStream(Stream); }
void TQCLGenericListItem::SaveToStream(TStream* Stream) { data_->SaveToStream(Stream); }

AnsiString TQCLGenericListItem::SaveToTempFile() {
    const AnsiString name = QCLSITempFile();
    if (!name.empty())
        SaveToFile(name);
    return name;
}

void TQCLGenericListItem::Assign(TPersistent* Source) {
    auto* other = dynamic_cast<TQCLGenericListItem*>(Source);
    if (!other) {
        TQCLListItem::Assign(Source);
        return;
    }
    AssignStd(other);
    dataFileName_ = other->dataFileName_;
    TMemoryStream copy;
    other->data_->SaveToStream(&copy);
    copy.Position = 0;
    data_->LoadFromStream(&copy);
}

void TQCLGenericListItem::FreeData() {
    data_->Clear();
    dataFileName_.clear();
}

uint8_t TQCLGenericListItem::WriteFlag() { return withData(TQCLListItem::WriteFlag(), GetEmpty()); }

void TQCLGenericListItem::WriteData(TStream* Stream) {
    WriteStd(Stream);
    if (!GetEmpty())
        writeBlock(Stream, data_, GetCompressed());
    stWriteString(Stream, dataFileName_);
}

void TQCLGenericListItem::ReadData(TStream* Stream) {
    const uint8_t flags = ReadStd(Stream);
    if (flags & qclrecord::HasData) {
        TMemoryStream block;
        if (GetCompressed()) {
            LoadCompressedStream(Stream, &block);
            block.Position = 0;
        } else {
            readPlainBlock(Stream, &block);
        }
        data_->LoadFromStream(&block);
    } else {
        data_->Clear();
    }
    dataFileName_ = stReadString(Stream);
}

// ---------------------------------------------------------------------------
// Wave item

TQCLWaveListItem::TQCLWaveListItem(TComponent* AOwner) : TQCLListItem(AOwner), wave_(new TQCLWave) {}
TQCLWaveListItem::~TQCLWaveListItem() { delete wave_; }

void TQCLWaveListItem::SetWave(TQCLWave* Value) {
    wave_->Assign(Value);
    Change();
}

void TQCLWaveListItem::Assign(TPersistent* Source) {
    auto* other = dynamic_cast<TQCLWaveListItem*>(Source);
    if (!other) {
        TQCLListItem::Assign(Source);
        return;
    }
    AssignStd(other);
    wave_->Assign(other->wave_);
}

void TQCLWaveListItem::FreeData() { wave_->FreeWave(); }
bool TQCLWaveListItem::GetEmpty() { return wave_->GetEmpty(); }
uint8_t TQCLWaveListItem::WriteFlag() { return withData(TQCLListItem::WriteFlag(), GetEmpty()); }

void TQCLWaveListItem::WriteData(TStream* Stream) {
    WriteStd(Stream);
    if (!GetEmpty())
        stWriteWave(Stream, wave_, GetCompressed());
}

void TQCLWaveListItem::ReadData(TStream* Stream) {
    const uint8_t flags = ReadStd(Stream);
    if (flags & qclrecord::HasData)
        stReadWave(Stream, wave_, GetCompressed());
    else
        wave_->FreeWave();
}

bool QCLWVLGetItem(const AnsiString& FileName, int Index, TQCLWave* Wave) {
    TQCLWaveListItem item(nullptr);
    const bool read = QCLListGetItemFromFile(FileName, icWave, nullptr, &item, Index);
    Wave->Assign(item.GetWave());
    return read;
}
