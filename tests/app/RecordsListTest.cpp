// The record list on the real window with real input: a column edge dragged repaints every line at
// the new column positions, and the selected entry stays selected and in view when the list is
// sorted by a header click or the entry is edited through the entry dialog; letters typed in the
// category box choose no category.
#include "tests/app/RecordsFixture.h"

#include "app/RecordListDrawing.h"
#include "tests/framework/FrameworkFixture.h"
#include "tests/skin/SkinFixture.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace mainwintest {
namespace {

// The window's client area as the window last drew it (its own surface, not the screen, which
// may lag behind).
std::unique_ptr<TBitmap> drawnClient(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    auto bitmap = skintest::filledBitmap(client.right, client.bottom, clBlack);
    HDC dc = GetDC(window);
    BitBlt(bitmap->Canvas->Handle, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
    return bitmap;
}

class RecordListTest : public RecordsTest {
protected:
    // A category "Cards" of `count` entries "n00", "n01", ... inserted in an order that no sort keeps.
    category* cards(int count) {
        std::vector<RowValues> rows;
        for (int i = 0; i < count; ++i) {
            const int n = (i * 7 + count - 1) % count;  // count is not a multiple of 7; the last comes first
            const std::string name = (n < 10 ? "n0" : "n") + std::to_string(n);
            rows.push_back({name, std::to_string(1000 + n)});
        }
        category* cat = addCategory("Cards", {{"Name", htOneLine, hsShown}, {"Number", htOneLine, hsShown}}, rows);
        content().current = cat;
        return cat;
    }
    void showInFrontAt() {
        form->SetBounds(20, 20, 757, 500);
        show();
        ASSERT_TRUE(skintest::bringToForeground(form));
        pumpAWhile();
    }
    HWND innerList() { return list()->InnerList()->GetHandle(); }
    int lineOf(const std::string& name) {
        const std::vector<std::string> names = column(0);
        const auto at = std::find(names.begin(), names.end(), name);
        return at == names.end() ? -1 : static_cast<int>(at - names.begin());
    }
    // Whether the line stands wholly inside the list's client area.
    bool inView(int line) {
        RECT item{}, client{};
        if (SendMessageA(innerList(), LB_GETITEMRECT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&item)) ==
            LB_ERR)
            return false;
        GetClientRect(innerList(), &client);
        return item.top >= client.top && item.bottom <= client.bottom;
    }
    void clickLine(int line) {
        RECT item{};
        SendMessageA(innerList(), LB_GETITEMRECT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&item));
        mouseTo(list()->InnerList(), item.left + 20, (item.top + item.bottom) / 2);
        mouseButton(true);
        mouseButton(false);
    }
};

TEST_F(RecordListTest, DraggingAColumnEdgeRepaintsEveryLineAtTheNewPositions) {
    openRecords();
    cards(12);
    showInFrontAt();
    THeaderSection* first = list()->GetHeaderSections()->GetItem(0);
    const int edge = first->GetRight();
    // What the list shows equals what it draws when told to repaint everything.
    const auto drawnAsNew = [&] {
        pumpAWhile();
        const auto drawn = drawnClient(innerList());
        InvalidateRect(innerList(), nullptr, TRUE);
        UpdateWindow(innerList());
        const auto repainted = drawnClient(innerList());
        return skintest::samePixels(drawn.get(), repainted.get());
    };
    mouseTo(list()->Header(), edge - 1, 8);
    mouseButton(true);
    mouseTo(list()->Header(), edge + 20, 8);
    mouseTo(list()->Header(), edge + 60, 8);
    ASSERT_TRUE(pumpUntil([&] { return first->GetWidth() > edge + 30; })) << first->GetWidth();
    EXPECT_TRUE(drawnAsNew()) << "while dragging, lines were left drawn at the old column positions";
    mouseTo(list()->Header(), edge + 40, 8);
    mouseButton(false);
    ASSERT_TRUE(pumpUntil([&] { return content().current->headerAt(0)->width == first->GetWidth(); }));
    EXPECT_TRUE(drawnAsNew()) << "after the drag, lines were left drawn at the old column positions";
}

TEST_F(RecordListTest, ASortKeepsTheSelectedEntrySelectedAndInView) {
    openRecords();
    cards(41);
    showInFrontAt();
    // The entry that the sort takes to the end of the list, chosen at the top.
    const int before = lineOf("n40");
    ASSERT_EQ(before, 0);
    ASSERT_TRUE(inView(before));
    clickLine(before);
    ASSERT_TRUE(pumpUntil([&] { return list()->GetInteger(1) == before; }));

    RECT section{};
    Header_GetItemRect(list()->Header()->GetHandle(), 0, &section);
    mouseTo(list()->Header(), (section.left + section.right) / 2, 8);
    mouseButton(true);
    mouseButton(false);
    ASSERT_TRUE(pumpUntil([&] { return column(0).front() == "n00"; }));
    pumpAWhile();

    EXPECT_EQ(selectedLines(), std::vector<int>{40});
    EXPECT_EQ(list()->GetInteger(1), 40);
    EXPECT_EQ(text(editorRow(0)->edit->GetText()), "n40");
    EXPECT_TRUE(inView(40));
}

TEST_F(RecordListTest, AnEntryEditedThroughTheDialogStaysSelectedAndInView) {
    openRecords();
    category* cat = cards(41);
    showInFrontAt();
    const int line = 38;
    const std::string name = cat->itemText(line, 0);
    SendMessageA(innerList(), LB_SETTOPINDEX, static_cast<WPARAM>(line - 10), 0);
    clickLine(line);
    ASSERT_TRUE(pumpUntil([&] { return selectedLines() == std::vector<int>{line}; }));
    rdialogs.entry = [](category&, RowValues& values) {
        values[0] += " edited";
        return 1;
    };
    HWND inner = innerList();
    SendMessageA(GetParent(inner), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(inner), LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(inner));
    pumpAWhile();
    EXPECT_EQ(column(0)[line], name + " edited");
    EXPECT_EQ(selectedLines(), std::vector<int>{line});
    EXPECT_EQ(text(editorRow(0)->edit->GetText()), name + " edited");
    EXPECT_TRUE(inView(line));
}

// The heading bar runs the whole width of the list, its part right of the last heading drawn in the
// headings' own colour, and each line's cells start where their headings' captions start.
TEST_F(RecordListTest, TheHeadingBarReachesTheListsRightEdge) {
    openRecords();
    cards(3);
    showInFrontAt();
    TWinControl* header = list()->Header();
    const int lastRight = list()->GetHeaderSections()->GetItem(1)->GetRight();
    ASSERT_LT(lastRight + 20, list()->GetClientWidth());
    EXPECT_GE(header->Width, list()->GetClientWidth());
    const auto drawn = drawnClient(header->GetHandle());
    const TColor face = static_cast<TColor>(ColorToRGB(clBtnFace));
    EXPECT_EQ(fwtest::pixelOf(drawn.get(), list()->GetClientWidth() - 4, header->Height / 2), face)
        << "header " << header->Width << " list " << list()->GetClientWidth();

    // The second line (not selected): where each column's text starts.
    const auto lines = drawnClient(innerList());
    RECT item{};
    SendMessageA(innerList(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const TColor background = static_cast<TColor>(ColorToRGB(list()->InnerList()->GetColor()));
    auto firstInk = [&](int from, int to) {
        for (int x = from; x < to; ++x)
            for (int y = item.top; y < item.bottom; ++y)
                if (fwtest::pixelOf(lines.get(), x, y) != background) return x;
        return -1;
    };
    for (int column = 0; column < 2; ++column) {
        THeaderSection* section = list()->GetHeaderSections()->GetItem(column);
        const int ink = firstInk(section->GetLeft(), section->GetRight());
        EXPECT_GE(ink, section->GetLeft() + ColumnTextInset) << "column " << column;
        EXPECT_LE(ink, section->GetLeft() + ColumnTextInset + 2) << "column " << column;
    }
}

// Letters typed in the category box choose no category ("a" would open the category editor); its
// arrow keys still do.
TEST_F(RecordListTest, TypingInTheCategoryBoxChoosesNothing) {
    openRecords();
    cards(3);
    showInFrontAt();
    const int cardsItem = form->ComboBox1->GetItemIndex();
    ASSERT_EQ(std::string(form->ComboBox1->GetText().c_str()), "Cards");
    form->ComboBox1->SetFocus();
    rdialogs.calls.clear();
    for (WORD key : {'A', 'E', 'N', 'C'}) typeKey(key);
    pumpAWhile();
    EXPECT_EQ(form->ComboBox1->GetItemIndex(), cardsItem);
    EXPECT_EQ(content().current->getName(), "Cards");
    EXPECT_TRUE(rdialogs.calls.empty()) << ::testing::PrintToString(rdialogs.calls);
    typeKey(VK_UP);
    ASSERT_TRUE(pumpUntil([&] { return content().current->getName() == "Notes"; }));
    EXPECT_EQ(form->ComboBox1->GetItemIndex(), cardsItem - 1);
}

}  // namespace
}  // namespace mainwintest
