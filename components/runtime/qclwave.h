// The wave object of the component library: a complete RIFF WAVE file image
// held in memory, its header parsed into a small info record, and playback
// from memory through the multimedia sound call.
//
// Tricky points:
// - Asynchronous playback reads the held image while it plays, so every
//   replacement or release of the data (NewWave, FreeWave, Assign, loading,
//   destruction) stops playback first.
// - The info's "bits" field is the 16-bit value after the average bytes per
//   second, which the RIFF WAVE layout defines as the block alignment; it is
//   reported as such on purpose.
// - Readers take their input as untrusted: a length below 0 or beyond what
//   remains raises the read error, a header that does not parse raises
//   EInvalidWave, and in both cases the wave keeps its old data.
// - The device count and the sound call go through a replaceable table, so
//   tests can count calls without a sound device.
#pragma once

#include "components/runtime/QCLObject.h"

#include "framework/Classes.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

// The system header maps PlaySound to its A or W function; here it names the
// wave's own operation.
#undef PlaySound

enum TQCLChannelMode { cmUnknown, cmMono, cmStereo };
enum TQCLWaveFormat { wfUnknown, wfPCM };
enum TQCLSndPlayMode { sdSync, sdAsync, sdLoop };

struct TQCLWaveInfo {
    int32_t RiffLength = 0;
    int32_t SampleRate = 0;
    TQCLChannelMode ChannelMode = cmUnknown;
    TQCLWaveFormat Format = wfUnknown;
    uint16_t Bits = 0;
};

BRIM_EXCEPTION_CLASS(EInvalidWave, Exception);
BRIM_EXCEPTION_CLASS(EErrorCheckingWave, Exception);

class TQCLWave : public TQCLObject {
public:
    TQCLWave() = default;
    explicit TQCLWave(const AnsiString& FileName);
    ~TQCLWave() override;
    TQCLWave(const TQCLWave&) = delete;
    TQCLWave& operator=(const TQCLWave&) = delete;
    AnsiString ClassName() const override { return "TQCLWave"; }

    bool GetEmpty() const { return !data_ || data_->Size == 0; }
    int64_t GetSize() const { return data_ ? data_->Size : 0; }
    // All zero when empty.
    TQCLWaveInfo GetInfo() const;
    uint16_t GetBits() const { return GetInfo().Bits; }
    TQCLChannelMode GetChannelMode() const { return GetInfo().ChannelMode; }
    TQCLWaveFormat GetFormat() const { return GetInfo().Format; }
    int32_t GetSampleRate() const { return GetInfo().SampleRate; }
    // The held image (null when there is no data stream).
    const TMemoryStream* GetData() const { return data_; }

    // Adopts Stream (may be null) as the data, rewound; stops playback and
    // frees the old data first; signals a change.
    void NewWave(TMemoryStream* Stream);
    void FreeWave() { NewWave(nullptr); }

    void LoadFromFile(const AnsiString& FileName);
    // From the current position to the end.
    void LoadFromStream(TStream* Stream);
    // An int32 length, then that many bytes.
    void LoadFromStreamEx(TStream* Stream);
    // A compressed stream of the image.
    void LoadCompressedFromStream(TStream* Stream);
    void SaveToFile(const AnsiString& FileName);
    void SaveToStream(TStream* Stream);
    void SaveToStreamEx(TStream* Stream);
    void SaveCompressedToStream(TStream* Stream);

    // Starts asynchronous playback; false when empty or without a device.
    bool Play() { return PlaySound(sdAsync); }
    bool PlaySound(TQCLSndPlayMode Mode);
    // Stops any sound started by this process's sound call.
    static void Stop();

    // Null frees the data; another wave's bytes are copied.
    void Assign(TPersistent* Source) override;
    // The layout property "Data": int32 length, then the bytes.
    void DefineProperties(TFiler* Filer) override;

    BRIM_READONLY(Empty, TQCLWave::GetEmpty);
    BRIM_READONLY(Size, TQCLWave::GetSize);

private:
    void readStream(int64_t length, TStream* source, bool sourceEmpty);
    void writeStream(TStream* stream, bool withLength);

    TMemoryStream* data_ = nullptr;
};

// True when the system reports at least one wave output device.
bool QCLMMWavePossible();
// False for a missing file; else parses its header.
bool QCLGetWaveFileInfo(const AnsiString& FileName, TQCLWaveInfo& Info);
// Parses a RIFF WAVE header from the stream's position; the position is back
// at 0 afterwards. False for a foreign header; a stream too short for the
// header raises EErrorCheckingWave.
bool QCLGetWaveStreamInfo(TStream* Stream, TQCLWaveInfo& Info);

// The device count and the sound call used by playback.
struct TQCLWaveSoundApi {
    UINT(WINAPI* DeviceCount)();
    BOOL(WINAPI* PlaySound)(LPCSTR Sound, UINT Flags);
};
// Replaces the system's functions (tests); returns the previous table.
TQCLWaveSoundApi QCLSetWaveSoundApiForTesting(TQCLWaveSoundApi Api);
