// The record list's header caption fitting, sort arrow and line cells.
#include "app/RecordListDrawing.h"

#include "components/controls/QCLListRows.h"

std::string fitHeaderCaption(const std::string& caption, int available,
                             const std::function<int(const std::string&)>& width) {
    if (width(caption) <= available) return caption;
    std::string text = caption + "...";
    while (width(text) > available && text != "...") {
        text.erase(text.size() >= 4 ? text.size() - 4 : 0);
        text += "...";
    }
    return text;
}

void drawSortArrow(TCanvas* canvas, int right, bool descending) {
    const int R = right;
    TPen* pen = canvas->GetPen();
    if (descending) {
        pen->SetColor(clBtnHighlight);
        canvas->MoveTo(R - 10, 13);
        canvas->LineTo(R - 6, 7);
        pen->SetColor(clBtnShadow);
        canvas->LineTo(R - 14, 7);
        canvas->LineTo(R - 10, 13);
    } else {
        pen->SetColor(clBtnHighlight);
        canvas->MoveTo(R - 14, 13);
        canvas->LineTo(R - 6, 13);
        canvas->LineTo(R - 10, 7);
        pen->SetColor(clBtnShadow);
        canvas->LineTo(R - 14, 13);
    }
}

void drawRecordLine(TCanvas* canvas, const TRect& line, const std::string& fields, char delimiter,
                    const std::vector<int>& columnWidths) {
    for (const QCLRowCell& cell : QCLLayoutRow(fields, delimiter, columnWidths, line.Left)) {
        const TRect text(cell.left + ColumnTextInset, line.Top, cell.right - ColumnTextGap, line.Bottom);
        if (text.Right <= text.Left) continue;
        canvas->TextRect(text, text.Left, line.Top + 1, cell.text.c_str());
    }
}
