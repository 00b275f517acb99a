// The key-creation page on its real window: cursor samples and key releases
// from scripted sources reaching the seed and the meter, the seed of 256 typed
// keys, Escape, Enter, Tab and the arrows adding pairs without leaving the
// hidden edit, Cancel ending the sampling thread, one key
// generation however often the seed is reported full, no close while the key
// is made, no message to another window captioned like the page, a fresh seed
// for a page opened after a cancel, real mouse moves through the system's own
// sources, and a percentage that reads on the bar.
#include <gtest/gtest.h>

#include "dialogs/QZ_Frm_Initializing.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/framework/ControlsFixture.h"
#include "tests/skin/SkinFixture.h"
#include "tests/support/MessageBoxScript.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace {

using dialogtest::showModal;
using fwtest::pumpIdle;
using fwtest::pumpUntil;

// Positions and times the test sets; every poll is counted.
struct ScriptedSources {
    std::atomic<long> x{0}, y{0};
    std::atomic<int> ms{0};
    std::atomic<int> polls{0};
    std::atomic<int> movesLeft{0};  // each poll while > 0 moves the cursor 50 px on both axes

    static keyseed::EntropySources of(const std::shared_ptr<ScriptedSources>& self) {
        keyseed::EntropySources sources;
        sources.cursorPosition = [self] {
            if (self->movesLeft > 0) {
                --self->movesLeft;
                self->x += 50;
                self->y += 50;
            }
            return POINT{self->x.load(), self->y.load()};
        };
        sources.milliseconds = [self] { return self->ms.load(); };
        sources.pollWait = [self] {
            ++self->polls;
            Sleep(1);
        };
        return sources;
    }
};

// A stand-in RSA object: records each generation's bits and seed, and can hold the worker.
class FakeEngine : public qzcrypto::RSAEngine {
public:
    FakeEngine() : release_(CreateEventA(nullptr, TRUE, TRUE, nullptr)) {}
    ~FakeEngine() { CloseHandle(release_); }
    void block() { ResetEvent(release_); }
    void unblock() { SetEvent(release_); }

    void Reserved() override {}
    void Release() override {}
    void GenerateKeys(int bits, const unsigned char* seed) override {
        {
            std::lock_guard<std::mutex> hold(lock_);
            calls.push_back({bits, std::vector<unsigned char>(seed, seed + 64)});
        }
        WaitForSingleObject(release_, 20000);
    }
    void ExportPrivateKey(unsigned char**, unsigned char**) override {}
    void FreePrivateKey(unsigned char*, unsigned char*) override {}
    void ImportPrivateKey(const unsigned char*, const unsigned char*, int) override {}
    void Encrypt(const unsigned char*, int, unsigned char**) override {}
    void Decrypt(const unsigned char*, int, unsigned char**) override {}
    void FreeBuffer(unsigned char*) override {}

    struct Call {
        int bits;
        std::vector<unsigned char> seed;
    };
    std::vector<Call> callsSoFar() {
        std::lock_guard<std::mutex> hold(lock_);
        return calls;
    }

private:
    std::mutex lock_;
    std::vector<Call> calls;
    HANDLE release_;
};

class KeyCreationTest : public dialogtest::DialogTest {
protected:
    TFrm_Initializing* makePage(const std::shared_ptr<ScriptedSources>& sources) {
        auto* page = MakeForm<TFrm_Initializing>(nullptr, ScriptedSources::of(sources));
        page->SetKeyGenerator(&engine);
        page->SetKeyBits(1024);
        return page;
    }
    std::shared_ptr<ScriptedSources> sources = std::make_shared<ScriptedSources>();
    FakeEngine engine;
};

TEST_F(KeyCreationTest, CursorSamplesNeedFiftyPixelsOnBothAxesAndAddFourBits) {
    TFrm_Initializing* page = makePage(sources);
    int result = showModal(page, [&] {
        ASSERT_TRUE(dialogtest::bringUp(page));
        const POINT moves[] = {{49, 200}, {200, 49}, {50, 50}, {99, 99}, {100, 100}};
        const int expected[] = {0, 0, 4, 4, 8};
        for (std::size_t i = 0; i < std::size(moves); ++i) {
            sources->x = moves[i].x;
            sources->y = moves[i].y;
            int polled = sources->polls;
            ASSERT_TRUE(pumpUntil([&] { return sources->polls >= polled + 3; }));
            ASSERT_TRUE(pumpUntil([&] { return page->SeedBitCount() == expected[i]; }))
                << "move " << i << ": " << page->SeedBitCount() << " bits";
            EXPECT_TRUE(pumpUntil([&] { return page->QCLProgress1->Position == expected[i] * 100 / 512; }))
                << "move " << i << ": meter at " << page->QCLProgress1->Position;
        }
        dialogtest::click(page->xpCancelButton);
    });
    EXPECT_EQ(result, 2);
    page->Free();
}

TEST_F(KeyCreationTest, TwoHundredFiftySixKeyReleasesFillTheSeedAndMakeTheKeyOnce) {
    brimtest::MessageBoxScript boxes({mbrOk});
    auto timeOf = [](int k) { return k == 0 ? 0 : (k * k * k * 3 + k * k * 5 + 7 * k + 11) % 1000; };
    TFrm_Initializing* page = makePage(sources);
    std::vector<int> meter;
    int result = showModal(page, [&] {
        ASSERT_TRUE(dialogtest::bringUp(page));
        for (int k = 1; k <= 256; ++k) {
            sources->ms = timeOf(k);
            const int before = page->SeedBitCount();
            dialogtest::tapKey(k % 2 ? 'Q' : VK_SPACE);
            ASSERT_TRUE(pumpUntil([&] { return page->SeedBitCount() == before + 2; })) << "key " << k;
            meter.push_back(page->QCLProgress1->Position);
        }
        EXPECT_FALSE(page->xpCancelButton->Enabled);
    });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(meter.size(), 256u);
    EXPECT_EQ(std::vector<int>(meter.begin(), meter.begin() + 3), (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(meter.back(), 100);
    const unsigned char expected[64] = {
        0xB5, 0xFD, 0x55, 0x55, 0x57, 0x7D, 0x75, 0x7D, 0x7D, 0x77, 0xDD, 0xFF, 0x7D, 0x75, 0x77, 0xDF,
        0xFD, 0x57, 0xFD, 0xD7, 0xD5, 0x77, 0x57, 0xD5, 0x55, 0x57, 0xFD, 0xF5, 0xF5, 0x7D, 0x7D, 0x77,
        0x7D, 0x55, 0xD5, 0x77, 0x55, 0x57, 0xD7, 0xFF, 0xFD, 0xFD, 0xFD, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF,
        0xDF, 0xFD, 0x77, 0xD7, 0xFF, 0x75, 0xDF, 0x57, 0x5D, 0xD7, 0x75, 0x7D, 0x7D, 0x57, 0xD7, 0xDD};
    unsigned char seed[64];
    page->GetSeed(seed);
    EXPECT_EQ(std::vector<unsigned char>(seed, seed + 64), std::vector<unsigned char>(expected, expected + 64));
    auto calls = engine.callsSoFar();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].bits, 1024);
    EXPECT_EQ(calls[0].seed, std::vector<unsigned char>(expected, expected + 64));
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Your key has been created."});
    EXPECT_EQ(page->MeterCaption->GetText(), "Using random numbers to create key...");
    page->Free();
}

TEST_F(KeyCreationTest, NoKeyEndsThePageOrMovesTheFocusOffTheHiddenEdit) {
    // Each step's keys and the key releases they make (Shift's own release counts too). Before the
    // focus could move, Tab put it on Cancel and the Space after it cancelled the wizard.
    const struct {
        const char* what;
        bool shift;
        WORD key;
        int releases;
    } steps[] = {
        {"Escape", false, VK_ESCAPE, 1}, {"Enter", false, VK_RETURN, 1}, {"Tab", false, VK_TAB, 1},
        {"Space", false, VK_SPACE, 1},   {"Enter", false, VK_RETURN, 1}, {"Shift+Tab", true, VK_TAB, 2},
        {"Space", false, VK_SPACE, 1},   {"Right", false, VK_RIGHT, 1},  {"Down", false, VK_DOWN, 1},
        {"Left", false, VK_LEFT, 1},     {"Up", false, VK_UP, 1},        {"Space", false, VK_SPACE, 1},
    };
    TFrm_Initializing* page = makePage(sources);
    int result = showModal(page, [&] {
        ASSERT_TRUE(dialogtest::bringUp(page));
        int bits = 0;
        for (const auto& step : steps) {
            SCOPED_TRACE(step.what);
            sources->ms = 7 * bits;
            if (step.shift) skintest::pressKeys({{VK_SHIFT, true}});
            dialogtest::tapKey(step.key);
            if (step.shift) skintest::pressKeys({{VK_SHIFT, false}});
            bits += 2 * step.releases;
            ASSERT_TRUE(pumpUntil([&] { return page->SeedBitCount() == bits; })) << page->SeedBitCount() << " bits";
            pumpIdle();
            ASSERT_EQ(page->GetModalResult(), 0) << "the page was ended";
            EXPECT_EQ(page->ActiveControl, page->CoveredEdit) << "the focus left the hidden edit";
            EXPECT_EQ(GetFocus(), page->CoveredEdit->Handle());
        }
        dialogtest::click(page->xpCancelButton);
    });
    EXPECT_EQ(result, 2) << "still collecting until Cancel was clicked";
    page->Free();
}

TEST_F(KeyCreationTest, ThePercentageReadsWhiteOnTheBarAndDarkBlueBesideIt) {
    const TColor barColour = TColor(7552805);
    TFrm_Initializing* page = makePage(sources);
    page->Show();
    pumpIdle();
    page->QCLProgress1->Position = 50;  // "50%" straddles the bar's end
    pumpIdle();
    auto render = fwtest::paintOf(page);
    TRect meter = page->QCLProgress1->BoundsRect();
    const TPoint origin = page->Panel1->BoundsRect().TopLeft();
    const int left = origin.x + meter.Left + 3, right = origin.x + meter.Right - 3;
    const int top = origin.y + meter.Top + 3, bottom = origin.y + meter.Bottom - 3;
    const int barEnd = (left + right) / 2;
    int whiteOnBar = 0, blueBesideBar = 0, other = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const TColor pixel = fwtest::pixelOf(render.get(), x, y);
            if (x < barEnd - 1 && pixel == clWhite) ++whiteOnBar;
            else if (x > barEnd + 1 && pixel == barColour) ++blueBesideBar;
            else if (pixel != clWhite && pixel != barColour) ++other;
        }
    }
    EXPECT_GT(whiteOnBar, 10) << "the text over the bar takes the background colour";
    EXPECT_GT(blueBesideBar, 10) << "the text beside the bar takes the bar colour";
    EXPECT_EQ(other, 0) << "no third colour (black text on the dark bar is unreadable)";
    page->Free();
}

TEST_F(KeyCreationTest, CancelEndsTheSamplingThreadWithoutFurtherInput) {
    TFrm_Initializing* page = makePage(sources);
    std::weak_ptr<keyseed::KeySeed> seed;
    int result = showModal(page, [&] {
        ASSERT_TRUE(dialogtest::bringUp(page));
        seed = page->SeedForTesting();
        dialogtest::click(page->xpCancelButton);
    });
    EXPECT_EQ(result, 2);
    page->Free();
    EXPECT_TRUE(pumpUntil([&] { return seed.expired(); })) << "the thread still holds its seed";
    EXPECT_TRUE(engine.callsSoFar().empty());
}

LRESULT CALLBACK countingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER + 1 && message <= WM_USER + 3) {
        auto* count = reinterpret_cast<int*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        ++*count;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(KeyCreationTest, WhileTheKeyIsMadeThePageCannotBeClosedAndADecoyGetsNothing) {
    WNDCLASSA decoyClass = {};
    decoyClass.lpfnWndProc = countingProc;
    decoyClass.hInstance = GetModuleHandleA(nullptr);
    decoyClass.lpszClassName = "DecoyPage";
    RegisterClassA(&decoyClass);
    int decoyMessages = 0;
    HWND decoy = CreateWindowExA(0, "DecoyPage", "Frm_Initializing", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, decoyClass.hInstance, nullptr);
    SetWindowLongPtrA(decoy, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&decoyMessages));

    brimtest::MessageBoxScript boxes({mbrOk});
    engine.block();
    sources->movesLeft = 126;  // 504 bits from the cursor, the rest from key releases
    TFrm_Initializing* page = makePage(sources);
    int result = showModal(page, [&] {
        ASSERT_TRUE(dialogtest::bringUp(page));
        ASSERT_TRUE(pumpUntil([&] { return page->SeedBitCount() == 504; }, 20000));
        for (int k = 0; k < 4; ++k) {
            sources->ms = 100 * (k + 1) + k;
            dialogtest::tapKey('Z');
        }
        ASSERT_TRUE(pumpUntil([&] { return !engine.callsSoFar().empty(); }));
        pumpUntil([] { return false; }, 300);  // the thread's own report of the full seed arrives too
        EXPECT_TRUE(page->KeyCreationStarted());
        EXPECT_FALSE(page->xpCancelButton->Enabled);
        PostMessageA(page->Handle(), WM_CLOSE, 0, 0);
        pumpIdle();
        EXPECT_FALSE(page->CloseQuery()) << "closable while the key was made";
        EXPECT_TRUE(boxes.shown().empty());
        engine.unblock();
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(engine.callsSoFar().size(), 1u);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Your key has been created."});
    EXPECT_EQ(decoyMessages, 0);
    page->Free();
    DestroyWindow(decoy);
    UnregisterClassA("DecoyPage", decoyClass.hInstance);
}

TEST_F(KeyCreationTest, APageOpenedAfterACancelStartsAtZeroWhileTheOldSourceStillMoves) {
    // Enough moves to keep going after the cancel, too few to fill the seed before the click lands.
    sources->movesLeft = 100;
    TFrm_Initializing* first = makePage(sources);
    EXPECT_EQ(showModal(first, [&] {
                  ASSERT_TRUE(pumpUntil([&] { return first->SeedBitCount() >= 40; }));
                  dialogtest::click(first->xpCancelButton);
              }),
              2);
    std::weak_ptr<keyseed::KeySeed> oldSeed = first->SeedForTesting();
    first->Free();
    auto still = std::make_shared<ScriptedSources>();
    TFrm_Initializing* second = makePage(still);
    EXPECT_EQ(showModal(second, [&] {
                  EXPECT_EQ(second->SeedBitCount(), 0);
                  const int moved = sources->polls;
                  pumpUntil([&] { return oldSeed.expired() && still->polls > 5; });
                  EXPECT_EQ(second->SeedBitCount(), 0) << "the old thread wrote into the new seed";
                  EXPECT_EQ(second->QCLProgress1->Position, 0);
                  (void)moved;
                  dialogtest::click(second->xpCancelButton);
              }),
              2);
    second->Free();
}

TEST_F(KeyCreationTest, RealMouseMovesOfSixtyPixelsAddFourBitsEach) {
    TFrm_Initializing* page = MakeForm<TFrm_Initializing>(nullptr);
    page->SetKeyGenerator(&engine);
    skintest::moveMouseTo(20, 20);  // within 50 px of (0, 0): not a sample
    pumpIdle();
    int result = showModal(page, [&] {
        ASSERT_TRUE(dialogtest::bringUp(page));
        pumpUntil([] { return false; }, 250);
        EXPECT_EQ(page->SeedBitCount(), 0);
        for (int step = 1; step <= 3; ++step) {
            skintest::moveMouseTo(20 + 60 * step, 20 + 60 * step);
            ASSERT_TRUE(pumpUntil([&] { return page->SeedBitCount() == 4 * step; }))
                << "step " << step << ": " << page->SeedBitCount() << " bits";
        }
        dialogtest::click(page->xpCancelButton);
    });
    EXPECT_EQ(result, 2);
    page->Free();
}

}  // namespace
