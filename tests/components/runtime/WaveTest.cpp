// The wave object: header parsing, loading and saving forms, the errors that
// keep the old data, and playback through the sound seam (no device here).
#include "components/runtime/qclstreamutils.h"
#include "components/runtime/qclwave.h"
#include "tests/components/runtime/ContainerTestSupport.h"
#include "tests/support/TempFolder.h"

#include "framework/Filer.h"

#include <gtest/gtest.h>

#include <mmsystem.h>

using namespace containertest;

namespace {

Bytes bytesOfWave(TQCLWave& wave) {
    TMemoryStream s;
    wave.SaveToStream(&s);
    return bytesOf(s);
}

void loadWave(TQCLWave& wave, const Bytes& image) {
    TMemoryStream s;
    loadBytes(s, image);
    wave.LoadFromStream(&s);
}

// The sound seam: a device count and a log of sound calls. At each stop the
// fake notes whether the watched wave still held the buffer that plays.
struct SoundCall {
    const void* sound;
    UINT flags;
    bool playingBufferStillHeld;
};
UINT fakeDevices = 0;
std::vector<SoundCall> soundCalls;
const TQCLWave* watched = nullptr;
const void* playing = nullptr;

UINT WINAPI fakeDeviceCount() { return fakeDevices; }
BOOL WINAPI fakePlaySound(LPCSTR sound, UINT flags) {
    const bool held = watched && watched->GetData() && watched->GetData()->Memory() == playing;
    soundCalls.push_back({sound, flags, held});
    playing = sound;
    return TRUE;
}

class WaveSeam : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = QCLSetWaveSoundApiForTesting({fakeDeviceCount, fakePlaySound});
        soundCalls.clear();
        playing = nullptr;
        watched = nullptr;
    }
    void TearDown() override { QCLSetWaveSoundApiForTesting(previous_); }

private:
    TQCLWaveSoundApi previous_{};
};

}  // namespace

TEST(WaveHeader, FieldsOfTheFormatChunk) {
    struct Row {
        uint16_t tag, channels;
        int32_t rate;
        uint16_t blockAlign;
        TQCLWaveFormat format;
        TQCLChannelMode mode;
    };
    const Row rows[] = {
        {1, 2, 44100, 4, wfPCM, cmStereo},
        {1, 1, 8000, 1, wfPCM, cmMono},
        {2, 6, 48000, 12, wfUnknown, cmUnknown},
    };
    for (const Row& r : rows) {
        TMemoryStream s;
        loadBytes(s, waveImage(r.tag, r.channels, r.rate, r.blockAlign, 0));
        TQCLWaveInfo info;
        ASSERT_TRUE(QCLGetWaveStreamInfo(&s, info));
        EXPECT_EQ(s.Position, 0);
        EXPECT_EQ(info.RiffLength, 36);
        EXPECT_EQ(info.Format, r.format);
        EXPECT_EQ(info.ChannelMode, r.mode);
        EXPECT_EQ(info.SampleRate, r.rate);
        EXPECT_EQ(info.Bits, r.blockAlign) << "the block alignment is reported as bits";
    }
}

TEST(WaveHeader, ForeignAndShortHeaders) {
    const Bytes valid = waveImage(1, 2, 44100, 4, 0);
    struct Row {
        size_t at;
        const char* tag;
    };
    for (const Row& r : {Row{0, "RIFX"}, Row{8, "WAVX"}, Row{12, "data"}}) {
        Bytes foreign = valid;
        std::memcpy(foreign.data() + r.at, r.tag, 4);
        TMemoryStream s;
        loadBytes(s, foreign);
        s.Position = 5;
        TQCLWaveInfo info;
        EXPECT_FALSE(QCLGetWaveStreamInfo(&s, info)) << r.tag;
        EXPECT_EQ(s.Position, 0) << r.tag;
    }
    TMemoryStream shortStream;
    loadBytes(shortStream, Bytes(valid.begin(), valid.begin() + 30));
    TQCLWaveInfo info;
    EXPECT_THROW(QCLGetWaveStreamInfo(&shortStream, info), EErrorCheckingWave);
    EXPECT_EQ(shortStream.Position, 0);
    TMemoryStream empty;
    EXPECT_FALSE(QCLGetWaveStreamInfo(&empty, info));
    EXPECT_FALSE(QCLGetWaveStreamInfo(nullptr, info));

    brimtest::TempFolder temp;
    EXPECT_FALSE(QCLGetWaveFileInfo(temp.file("missing.wav"), info));
    temp.writeFile("a.wav", std::string(valid.begin(), valid.end()));
    EXPECT_TRUE(QCLGetWaveFileInfo(temp.file("a.wav"), info));
    EXPECT_EQ(info.SampleRate, 44100);
}

TEST(WaveData, FormsRoundTripAndBadInputKeepsTheOldSound) {
    const Bytes image = waveImage(1, 1, 11025, 1, 10);
    TQCLWave wave;
    EXPECT_TRUE(wave.Empty);
    EXPECT_EQ(wave.GetSampleRate(), 0);
    loadWave(wave, image);
    EXPECT_EQ(wave.Size, int64_t(image.size()));
    EXPECT_EQ(wave.GetChannelMode(), cmMono);

    for (bool compressed : {false, true}) {
        TMemoryStream field;
        stWriteWave(&field, &wave, compressed);
        stWriteByte(&field, 0x55);
        field.Position = 0;
        TQCLWave back;
        stReadWave(&field, &back, compressed);
        EXPECT_EQ(stReadByte(&field), 0x55);
        EXPECT_EQ(bytesOfWave(back), image);
    }

    // Bad inputs: a foreign header, a stream at its end, a hostile length.
    Bytes foreign = image;
    foreign[0] = 'X';
    EXPECT_THROW(loadWave(wave, foreign), EInvalidWave);
    TMemoryStream atEnd;
    loadBytes(atEnd, image);
    atEnd.Position = atEnd.Size;
    EXPECT_THROW(wave.LoadFromStream(&atEnd), EInvalidWave);
    for (int32_t length : {-4, 0x7FFFFFFF, int32_t(image.size()) + 1}) {
        TMemoryStream ex;
        loadBytes(ex, concat({le32(length), image}));
        EXPECT_THROW(wave.LoadFromStreamEx(&ex), EReadError) << length;
    }
    EXPECT_EQ(bytesOfWave(wave), image);

    // An empty source empties the wave.
    TMemoryStream none;
    wave.LoadFromStream(&none);
    EXPECT_TRUE(wave.Empty);

    brimtest::TempFolder temp;
    loadWave(wave, image);
    wave.SaveToFile(temp.file("w.wav"));
    TQCLWave fromFile(temp.file("w.wav"));
    EXPECT_EQ(bytesOfWave(fromFile), image);

    TMemoryStream layout;
    WriteDefinedProperties(&layout, &wave);
    layout.Position = 0;
    TQCLWave fromLayout;
    ReadDefinedProperties(&layout, &fromLayout);
    EXPECT_EQ(bytesOfWave(fromLayout), image);
}

TEST_F(WaveSeam, NoDeviceNoCall) {
    TQCLWave wave;
    EXPECT_FALSE(wave.Play()) << "empty";
    loadWave(wave, waveImage(1, 1, 8000, 1, 4));
    fakeDevices = 0;
    EXPECT_FALSE(QCLMMWavePossible());
    EXPECT_FALSE(wave.Play());
    EXPECT_FALSE(wave.PlaySound(sdLoop));
    EXPECT_TRUE(soundCalls.empty());
}

TEST_F(WaveSeam, FlagsOfEachModeAndStopBeforeEveryDataChange) {
    fakeDevices = 1;
    TQCLWave wave, other;
    loadWave(wave, waveImage(1, 1, 8000, 1, 4));
    loadWave(other, waveImage(1, 2, 8000, 2, 8));
    watched = &wave;

    struct Row {
        TQCLSndPlayMode mode;
        UINT flags;
    };
    for (const Row& r : {Row{sdAsync, SND_ASYNC | SND_NODEFAULT | SND_MEMORY}, Row{sdSync, SND_NODEFAULT | SND_MEMORY},
                         Row{sdLoop, SND_ASYNC | SND_LOOP | SND_NODEFAULT | SND_MEMORY}}) {
        ASSERT_TRUE(wave.PlaySound(r.mode));
        EXPECT_EQ(soundCalls.back().sound, wave.GetData()->Memory());
        EXPECT_EQ(soundCalls.back().flags, r.flags);
    }

    // Each way of replacing or releasing the data stops the sound while the
    // playing buffer is still held.
    const std::vector<std::function<void()>> changes = {
        [&] { wave.Assign(&other); },
        [&] { loadWave(wave, waveImage(1, 1, 8000, 1, 2)); },
        [&] { wave.FreeWave(); },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        if (wave.Empty) loadWave(wave, waveImage(1, 1, 8000, 1, 4));
        ASSERT_TRUE(wave.Play());
        const size_t before = soundCalls.size();
        changes[i]();
        ASSERT_GT(soundCalls.size(), before) << i;
        EXPECT_EQ(soundCalls[before].sound, nullptr) << i;
        EXPECT_TRUE(soundCalls[before].playingBufferStillHeld) << i;
    }
}

TEST(WaveSound, OneRealCallReturns) {
    const TQCLWaveSoundApi system = QCLSetWaveSoundApiForTesting({fakeDeviceCount, sndPlaySoundA});
    fakeDevices = 1;
    TQCLWave wave;
    loadWave(wave, waveImage(1, 1, 8000, 1, 64));
    wave.Play();  // with or without a device, it returns
    TQCLWave::Stop();
    QCLSetWaveSoundApiForTesting(system);
    if (!QCLMMWavePossible()) {
        EXPECT_FALSE(wave.Play()) << "no device: nothing is played";
    }
}
