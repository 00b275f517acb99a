// The record list's header caption fitting and sort arrow.
#include "app/RecordListDrawing.h"

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
