// The wave object: loading, saving, header parsing and playback.
#include "components/runtime/qclwave.h"

#include "components/runtime/qclerrors.h"
#include "components/runtime/qclstreamutils.h"

#include "framework/Filer.h"

#include <mmsystem.h>

#include <cstring>
#include <memory>

namespace {

UINT WINAPI systemDeviceCount() { return waveOutGetNumDevs(); }
BOOL WINAPI systemPlaySound(LPCSTR sound, UINT flags) { return sndPlaySoundA(sound, flags); }

TQCLWaveSoundApi soundApi{systemDeviceCount, systemPlaySound};

const char* const openText = "Cannot open file %s";

UINT flagsFor(TQCLSndPlayMode mode) {
    switch (mode) {
    case sdSync: return SND_NODEFAULT | SND_MEMORY;
    case sdLoop: return SND_ASYNC | SND_LOOP | SND_NODEFAULT | SND_MEMORY;
    default: return SND_ASYNC | SND_NODEFAULT | SND_MEMORY;
    }
}

// Four bytes of a chunk name, or the header check error when the stream ends.
bool readTag(TStream* stream, const char* expected) {
    char tag[4];
    stream->ReadBuffer(tag, 4);
    return std::string(tag, 4) == expected;
}

bool parseHeader(TStream* stream, TQCLWaveInfo& info) {
    if (!readTag(stream, "RIFF")) return false;
    info.RiffLength = stReadInteger(stream);
    if (!readTag(stream, "WAVE")) return false;
    if (!readTag(stream, "fmt ")) return false;
    stReadInteger(stream);  // chunk length
    const uint16_t tag = stReadWord(stream);
    const uint16_t channels = stReadWord(stream);
    const int32_t rate = stReadInteger(stream);
    stReadInteger(stream);  // average bytes per second
    info.Format = tag == 1 ? wfPCM : wfUnknown;
    info.ChannelMode = channels == 1 ? cmMono : channels == 2 ? cmStereo : cmUnknown;
    info.SampleRate = rate;
    info.Bits = stReadWord(stream);
    return true;
}

}  // namespace

TQCLWaveSoundApi QCLSetWaveSoundApiForTesting(TQCLWaveSoundApi Api) {
    TQCLWaveSoundApi previous = soundApi;
    soundApi = Api;
    return previous;
}

bool QCLMMWavePossible() { return soundApi.DeviceCount() > 0; }

bool QCLGetWaveStreamInfo(TStream* Stream, TQCLWaveInfo& Info) {
    if (!Stream || Stream->Size == 0)
        return false;
    try {
        const bool valid = parseHeader(Stream, Info);
        Stream->Position = 0;
        return valid;
    } catch (const EReadError&) {
        Stream->Position = 0;
        throw EErrorCheckingWave(AnsiString("GetWaveData: ") + openText);
    }
}

bool QCLGetWaveFileInfo(const AnsiString& FileName, TQCLWaveInfo& Info) {
    if (!FileExists(FileName))
        return false;
    TFileStream file(FileName, fmOpenRead);
    return QCLGetWaveStreamInfo(&file, Info);
}

// ---------------------------------------------------------------------------

TQCLWave::TQCLWave(const AnsiString& FileName) { LoadFromFile(FileName); }

TQCLWave::~TQCLWave() {
    if (data_) {
        Stop();
        delete data_;
    }
}

TQCLWaveInfo TQCLWave::GetInfo() const {
    TQCLWaveInfo info;
    if (GetEmpty())
        return info;
    try {
        if (!QCLGetWaveStreamInfo(data_, info))
            return TQCLWaveInfo();
    } catch (const EErrorCheckingWave&) {
        return TQCLWaveInfo();
    }
    return info;
}

void TQCLWave::NewWave(TMemoryStream* Stream) {
    if (data_) {
        Stop();
        delete data_;
    }
    data_ = Stream;
    if (data_)
        data_->Position = 0;
    Change();
}

void TQCLWave::readStream(int64_t length, TStream* source, bool sourceEmpty) {
    if (sourceEmpty) {
        NewWave(nullptr);
        return;
    }
    if (length < 0 || length > source->Size - source->Position)
        QCLRaiseReadError();
    auto image = std::make_unique<TMemoryStream>();
    image->SetSize(length);
    if (length > 0)
        source->ReadBuffer(image->Memory(), static_cast<int>(length));
    image->Position = 0;
    TQCLWaveInfo info;
    if (!QCLGetWaveStreamInfo(image.get(), info))
        throw EInvalidWave(ClassName() + ": " + openText);
    NewWave(image.release());
}

void TQCLWave::LoadFromFile(const AnsiString& FileName) {
    TFileStream file(FileName, fmOpenRead | fmShareDenyRead);
    LoadFromStream(&file);
}

void TQCLWave::LoadFromStream(TStream* Stream) {
    readStream(Stream->Size - Stream->Position, Stream, Stream->Size == 0);
}

void TQCLWave::LoadFromStreamEx(TStream* Stream) {
    const int32_t length = stReadInteger(Stream);
    readStream(length, Stream, Stream->Size == 0);
}

void TQCLWave::LoadCompressedFromStream(TStream* Stream) {
    TMemoryStream image;
    LoadCompressedStream(Stream, &image);
    image.Position = 0;
    LoadFromStream(&image);
}

void TQCLWave::writeStream(TStream* stream, bool withLength) {
    if (!data_)
        data_ = new TMemoryStream;
    const int64_t length = data_->Size;
    if (withLength)
        stWriteInteger(stream, static_cast<int32_t>(length));
    if (length > 0)
        stream->WriteBuffer(data_->Memory(), static_cast<int>(length));
}

void TQCLWave::SaveToFile(const AnsiString& FileName) {
    TFileStream file(FileName, fmCreate);
    SaveToStream(&file);
}

void TQCLWave::SaveToStream(TStream* Stream) { writeStream(Stream, false); }
void TQCLWave::SaveToStreamEx(TStream* Stream) { writeStream(Stream, true); }

void TQCLWave::SaveCompressedToStream(TStream* Stream) {
    TMemoryStream image;
    SaveToStream(&image);
    image.Position = 0;
    SaveCompressedStream(&image, Stream, image.Size);
}

bool TQCLWave::PlaySound(TQCLSndPlayMode Mode) {
    if (GetEmpty() || !QCLMMWavePossible())
        return false;
    return soundApi.PlaySound(static_cast<LPCSTR>(data_->Memory()), flagsFor(Mode)) != 0;
}

void TQCLWave::Stop() { soundApi.PlaySound(nullptr, 0); }

void TQCLWave::Assign(TPersistent* Source) {
    if (!Source) {
        FreeWave();
        return;
    }
    auto* other = dynamic_cast<TQCLWave*>(Source);
    if (!other) {
        TQCLObject::Assign(Source);
        return;
    }
    if (other == this) return;
    auto copy = std::make_unique<TMemoryStream>();
    if (other->data_) {
        copy->SetSize(other->data_->Size);
        if (other->data_->Size > 0)
            std::memcpy(copy->Memory(), other->data_->Memory(), static_cast<size_t>(other->data_->Size));
        other->data_->Position = 0;
    }
    NewWave(copy.release());
}

void TQCLWave::DefineProperties(TFiler* Filer) {
    Filer->DefineBinaryProperty("Data", TStreamProc([this](TStream* s) { LoadFromStreamEx(s); }),
                                TStreamProc([this](TStream* s) { SaveToStreamEx(s); }), data_ != nullptr);
}
