// Region objects read back with PtInRegion: shapes built for a rectangle,
// the shadow, user and point-list regions, the painted shadow; and the region
// mask's data, pictures, layout and a fixed-seed fuzz over its layout reader.
#include "components/runtime/qclregion.h"
#include "tests/components/runtime/ContainerTestSupport.h"

#include "framework/Filer.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <random>

using namespace containertest;

namespace {

struct Probe {
    int x, y;
    bool inside;
};

void expectPoints(HRGN region, std::initializer_list<Probe> probes, const std::string& what) {
    ASSERT_NE(region, nullptr) << what;
    for (const Probe& p : probes)
        EXPECT_EQ(PtInRegion(region, p.x, p.y) != 0, p.inside) << what << " at " << p.x << "," << p.y;
}

win32::RegionHandle rectRegion(int l, int t, int r, int b) { return win32::RegionHandle(CreateRectRgn(l, t, r, b)); }

struct Counter {
    int changes = 0;
    void onChange(TObject*) { ++changes; }
    TNotifyEvent handler() { return TNotifyEvent(this, &Counter::onChange); }
};

}  // namespace

TEST(RegionObject, DefaultsAreARoundRectangleWithABlackSingleBorder) {
    TQCLRegion region;
    EXPECT_EQ(region.Shape(), rsRoundRect);
    EXPECT_EQ(region.RoundX(), 20);
    EXPECT_EQ(region.RoundY(), 20);
    EXPECT_EQ(region.GetBubbleCount(), 4);
    EXPECT_EQ(region.GetShadow()->GetStyle(), hssNone);
    EXPECT_EQ(region.GetShadow()->GetDepth(), 6);
    EXPECT_EQ(region.GetBorder()->GetBorderStyle(), rbSingle);
    EXPECT_EQ(region.GetBorder()->GetSingleColor(), clBlack);
    EXPECT_EQ(region.GetBorder()->GetLightColor(), clBtnHighlight);
    EXPECT_EQ(region.ShapeRegion(), nullptr);
}

TEST(RegionObject, ShapesBuiltForTheRectangle) {
    struct Case {
        TQCLRegionShape shape;
        std::initializer_list<Probe> probes;
    };
    const TRect r(10, 10, 110, 70);
    const Case cases[] = {
        {rsRect, {{10, 10, true}, {109, 69, true}, {110, 40, false}, {9, 40, false}}},
        {rsRoundRect, {{11, 11, false}, {60, 11, true}, {60, 40, true}}},
        {rsElliptic, {{60, 40, true}, {12, 12, false}, {11, 40, true}}},
        // Lower half of an ellipse twice as tall: the top edge is full width.
        {rsHalfRound, {{11, 11, true}, {108, 11, true}, {12, 68, false}, {60, 68, true}}},
        {rsDiamond, {{60, 40, true}, {12, 12, false}, {60, 11, true}}},
        // Nose at the left top: the rectangle gives up w div 10 = 10 pixels.
        {rsNoseRect, {{60, 40, true}, {15, 60, false}, {25, 60, true}}},
    };
    for (const Case& c : cases) {
        TQCLRegion region;
        region.Shape = c.shape;
        region.CreateRegion(r);
        expectPoints(region.ShapeRegion(), c.probes, "shape " + std::to_string(c.shape));
    }
}

TEST(RegionObject, ShadowShrinksTheShapeAndTheAppliedRegionAddsItMoved) {
    TQCLRegion region;
    region.Shape = rsRect;
    region.GetShadow()->SetStyle(hssSolid);
    region.CreateRegion(TRect(0, 0, 50, 40));
    expectPoints(region.ShapeRegion(), {{43, 33, true}, {44, 20, false}, {20, 34, false}}, "shrunk by 6");

    // Offsets move left and top only.
    region.SetOffset(TPoint(5, 5));
    region.CreateRegion(TRect(0, 0, 50, 40));
    expectPoints(region.ShapeRegion(), {{4, 4, false}, {5, 5, true}, {43, 33, true}, {44, 33, false}}, "offset");
}

TEST(RegionObject, BubbleCountBelowOneGivesThePlainShape) {
    for (int count : {0, -1}) {
        TQCLRegion region;
        region.Shape = rsThinkBubble;
        region.SetBubbleCount(count);
        region.CreateRegion(TRect(0, 0, 120, 90));
        ASSERT_NE(region.ShapeRegion(), nullptr) << count;
        const win32::RegionHandle plain = QCLCreateThinkBubbleRgn(TRect(0, 0, 120, 90), 20, 0, epLeftTop);
        EXPECT_TRUE(EqualRgn(region.ShapeRegion(), plain.get())) << count;
    }
}

TEST(RegionObject, UserAndPointListRegions) {
    TQCLRegion region;
    const TPoint triangle[] = {{0, 0}, {100, 0}, {50, 80}};
    region.SetUserPolygonRgn(triangle, 2);
    EXPECT_EQ(region.GetPoints()->GetCount(), 3);
    region.Shape = rsUserRegion;
    region.CreateRegion(TRect(0, 0, 200, 200));
    expectPoints(region.ShapeRegion(), {{50, 10, true}, {50, 70, true}, {5, 70, false}, {150, 150, false}},
                 "triangle");

    // A region is stored as a copy: deleting the original changes nothing.
    {
        win32::RegionHandle box = rectRegion(20, 20, 30, 30);
        region.SetUserRgn(box.get());
    }
    region.CreateRegion(TRect(0, 0, 200, 200));
    expectPoints(region.ShapeRegion(), {{25, 25, true}, {50, 10, false}}, "user box");

    // The point list region follows the points while the shape is rsPointList.
    region.Shape = rsPointList;
    region.GetPoints()->AddPoint(TPoint(0, 100));
    region.CreateRegion(TRect(0, 0, 200, 200));
    expectPoints(region.ShapeRegion(), {{10, 90, true}, {50, 10, true}, {25, 25, true}}, "four points");

    // Missing data: no shape region.
    TQCLRegion empty;
    for (TQCLRegionShape shape : {rsUserRegion, rsPointList, rsBitmap}) {
        empty.Shape = shape;
        empty.CreateRegion(TRect(0, 0, 50, 50));
        EXPECT_EQ(empty.ShapeRegion(), nullptr) << shape;
    }
}

TEST(RegionObject, ChangesAreSignalledOncePerRealChange) {
    TQCLRegion region;
    Counter counter;
    region.OnChange = counter.handler();
    region.RoundX = 20;
    region.Shape = rsRoundRect;
    EXPECT_EQ(counter.changes, 0);
    region.RoundY = 8;
    region.ExtPos = epBottomLeft;
    region.GetBorder()->SetColor(0, clRed);
    region.GetShadow()->SetStyle(hssTracing);
    EXPECT_EQ(counter.changes, 4);

    TQCLRegion copy;
    Counter copied;
    copy.OnChange = copied.handler();
    copy.Assign(&region);
    EXPECT_EQ(copied.changes, 1);
    EXPECT_EQ(copy.RoundY(), 8);
    EXPECT_EQ(copy.ExtPos(), epBottomLeft);
    EXPECT_EQ(copy.GetBorder()->GetLightColor(), clRed);
    EXPECT_EQ(copy.GetShadow()->GetStyle(), hssTracing);
}

TEST(RegionObject, SolidShadowPaintsOnlyTheMovedOutsideOfTheShape) {
    TQCLRegion region;
    region.Shape = rsRect;
    region.GetShadow()->SetStyle(hssSolid);
    region.GetShadow()->SetColor(clBlue);
    region.GetBorder()->SetBorderStyle(rbNone);
    TBitmap sheet;
    paint(sheet, 40, 40, {clWhite});
    TRect r(0, 0, 30, 30);
    region.CreateRegion(r);
    HDC dc = sheet.GetCanvas()->GetHandle();
    RECT clipBefore;
    GetClipBox(dc, &clipBefore);
    region.DrawShadow(sheet.GetCanvas(), r);
    EXPECT_EQ(r, TRect(0, 0, 24, 24));
    TCanvas* c = sheet.GetCanvas();
    EXPECT_EQ(c->GetPixel(10, 10), clWhite);  // inside the shape
    EXPECT_EQ(c->GetPixel(26, 26), clBlue);   // shadow
    EXPECT_EQ(c->GetPixel(25, 3), clWhite);   // above the shadow's top
    EXPECT_EQ(c->GetPixel(35, 35), clWhite);  // past it
    RECT clipAfter;
    GetClipBox(dc, &clipAfter);
    EXPECT_TRUE(EqualRect(&clipBefore, &clipAfter));

    // Switched off: the rectangle still shrinks, nothing is painted.
    paint(sheet, 40, 40, {clWhite});
    region.SetShadowOff(true);
    TRect again(0, 0, 30, 30);
    region.DrawShadow(sheet.GetCanvas(), again);
    EXPECT_EQ(again, TRect(0, 0, 24, 24));
    EXPECT_EQ(sheet.GetCanvas()->GetPixel(26, 26), clWhite);
}

TEST(RegionObject, PointListLayoutRoundTrip) {
    TQCLRegion region;
    region.GetPoints()->AddPoint(TPoint(3, 4));
    region.GetPoints()->AddPoint(TPoint(70, 9));
    TMemoryStream s;
    WriteDefinedProperties(&s, &region);
    s.Position = 0;
    TQCLRegion back;
    ReadDefinedProperties(&s, &back);
    ASSERT_EQ(back.GetPoints()->GetCount(), 2);
    TPoint p;
    back.GetPoints()->GetPoint(1, p);
    EXPECT_EQ(p, TPoint(70, 9));

    TQCLRegion empty;
    TMemoryStream none;
    WriteDefinedProperties(&none, &empty);
    EXPECT_EQ(none.GetSize(), 1) << "no points, only the end marker";
}

// ---------------------------------------------------------------------------

namespace {

std::string regionBytes(HRGN region) {
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::string data(size, '\0');
    GetRegionData(region, size, reinterpret_cast<RGNDATA*>(&data[0]));
    return data;
}

}  // namespace

TEST(RegionMask, DataSizeRaisedAfterAllocationReadsNoFurther) {
    const win32::RegionHandle box = rectRegion(2, 3, 12, 13);
    const std::string bytes = regionBytes(box.get());
    TQCLRegionMask mask;
    mask.RegionDataSize = static_cast<int>(bytes.size());
    mask.GetMem();
    mask.GetRegionData(box.get());
    EXPECT_TRUE(EqualRgn(mask.CreateRegion().get(), box.get()));

    mask.RegionDataSize = static_cast<int>(2 * bytes.size());
    EXPECT_EQ(mask.UsableSize(), static_cast<int>(bytes.size()));
    EXPECT_TRUE(EqualRgn(mask.CreateRegion().get(), box.get()));
    TMemoryStream s;
    WriteDefinedProperties(&s, &mask);
    EXPECT_LT(s.GetSize(), static_cast<int64_t>(2 * bytes.size()));

    mask.FreeMem();
    EXPECT_EQ(mask.RegionDataSize(), 0);
    EXPECT_FALSE(mask.CreateRegion().valid());
}

TEST(RegionMask, BadRegionDataGivesNoRegion) {
    const std::string good = regionBytes(rectRegion(0, 0, 5, 5).get());
    struct Case {
        const char* what;
        size_t at;
        int32_t value;
    };
    const Case cases[] = {{"header size", 0, 16}, {"type", 4, 2}, {"count past the bytes", 8, 2},
                          {"count huge", 8, 0x7FFFFFFF}};
    for (const Case& c : cases) {
        Bytes bytes(good.begin(), good.end());
        putInt32(bytes, c.at, c.value);
        TQCLRegionMask mask;
        mask.SetRegionData(bytes.data(), static_cast<int>(bytes.size()));
        EXPECT_FALSE(mask.CreateRegion().valid()) << c.what;
    }
    TQCLRegionMask shortMask;
    shortMask.SetRegionData(good.data(), 20);
    EXPECT_FALSE(shortMask.CreateRegion().valid());
}

TEST(RegionMask, AssignCopiesDataAndPicturesOnlyFromAMaskWithData) {
    TBitmap picture;
    paint(picture, 4, 3, {clRed, clLime});
    const std::string bytes = regionBytes(rectRegion(0, 0, 4, 3).get());
    TQCLRegionMask source;
    source.SetRegionData(bytes.data(), static_cast<int>(bytes.size()));
    source.SetBorderBmp(0, &picture);
    source.SetBorderBmp(2, &picture);

    TQCLRegionMask target;
    target.Assign(&source);
    EXPECT_EQ(target.RegionDataSize(), static_cast<int>(bytes.size()));
    EXPECT_EQ(target.GetBorderBmp()->GetWidth(), 4);
    EXPECT_EQ(target.GetBorderUpBmp(), nullptr);
    ASSERT_NE(target.GetBorderDnBmp(), nullptr);
    EXPECT_EQ(target.GetBorderDnBmp()->GetCanvas()->GetPixel(1, 0), clLime);

    TQCLRegionMask empty;
    target.Assign(&empty);
    EXPECT_EQ(target.RegionDataSize(), 0);
    EXPECT_FALSE(target.CreateRegion().valid());
    EXPECT_EQ(target.GetBorderBmp()->GetWidth(), 4) << "pictures stay";
}

TEST(RegionMask, LayoutRoundTripAndShortData) {
    TBitmap picture;
    paint(picture, 3, 2, {clBlue, clYellow});
    const std::string bytes = regionBytes(rectRegion(0, 0, 3, 2).get());
    for (bool compressed : {false, true}) {
        TQCLRegionMask mask;
        mask.SetRegionData(bytes.data(), static_cast<int>(bytes.size()));
        mask.SetBorderBmp(0, &picture);
        mask.SetBorderBmp(1, &picture);
        mask.Compressed = compressed;
        TMemoryStream s;
        WriteDefinedProperties(&s, &mask);
        s.Position = 0;
        TQCLRegionMask back;
        ReadDefinedProperties(&s, &back);
        EXPECT_EQ(back.Data(), bytes) << compressed;
        EXPECT_EQ(back.Compressed(), compressed);
        ASSERT_NE(back.GetBorderUpBmp(), nullptr);
        EXPECT_EQ(back.GetBorderUpBmp()->GetCanvas()->GetPixel(1, 0), clYellow);
        EXPECT_EQ(back.GetBorderDnBmp(), nullptr) << "absent pictures are not stored";

        // A known size longer than the stored block is a read error; the
        // mask keeps what it had.
        s.Position = 0;
        TQCLRegionMask longer;
        longer.RegionDataSize = static_cast<int>(bytes.size()) + 1;
        EXPECT_THROW(ReadDefinedProperties(&s, &longer), EReadError);
        EXPECT_TRUE(longer.Data().empty());
    }
}

TEST(RegionMask, FixedSeedFuzzRaisesOnlyReadErrorsWithBoundedMemory) {
    TBitmap picture;
    paint(picture, 5, 3, {clRed, clLime, clBlue});
    const std::string bytes = regionBytes(QCLCreateStarRgn(TRect(0, 0, 40, 40)).get());
    Bytes valid;
    for (bool compressed : {false, true}) {
        TQCLRegionMask mask;
        mask.SetRegionData(bytes.data(), static_cast<int>(bytes.size()));
        mask.SetBorderBmp(0, &picture);
        mask.SetBorderBmp(2, &picture);
        mask.Compressed = compressed;
        TMemoryStream s;
        WriteDefinedProperties(&s, &mask);
        const Bytes one = bytesOf(s);
        valid.insert(valid.end(), one.begin(), one.end());
    }
    // Both layouts in a row: the second read goes into a fresh mask.
    auto readsSafely = [](const Bytes& input) -> ::testing::AssertionResult {
        TMemoryStream s;
        loadBytes(s, input);
        try {
            for (int i = 0; i < 2; ++i) {
                TQCLRegionMask mask;
                ReadDefinedProperties(&s, &mask);
                mask.CreateRegion();
            }
        } catch (const EStreamError&) {
        } catch (const EInvalidGraphic&) {
        } catch (const Exception& e) {
            return ::testing::AssertionFailure() << e.ClassName() << " " << e.Message;
        }
        return ::testing::AssertionSuccess();
    };
    auto peak = [] {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
        return counters.PeakPagefileUsage;
    };
    const SIZE_T before = peak();
    ASSERT_TRUE(readsSafely(valid));
    for (size_t length = 0; length < valid.size(); ++length)
        ASSERT_TRUE(readsSafely(Bytes(valid.begin(), valid.begin() + length))) << "cut at " << length;
    for (size_t at = 0; at + 4 <= valid.size(); ++at)
        for (int64_t value : {int64_t(-4), int64_t(0x7FFFFFFF), int64_t(valid.size() - at - 4 + 1)}) {
            Bytes mutated = valid;
            putInt32(mutated, at, static_cast<int32_t>(value));
            ASSERT_TRUE(readsSafely(mutated)) << "field at " << at << " = " << value;
        }
    std::mt19937 random(20261210);
    for (int round = 0; round < 1500; ++round) {
        Bytes mutated = valid;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i)
            mutated[random() % mutated.size()] = static_cast<uint8_t>(random());
        ASSERT_TRUE(readsSafely(mutated)) << "round " << round;
    }
    EXPECT_LT(peak() - before, SIZE_T(64) << 20);
}
