// Tiled form background; see QCLBack.h. The picture's palette is realised
// unless the application realises palettes itself on an 8-bit display.
#include "components/runtime/QCLBack.h"

#include "components/runtime/qclclass.h"
#include "components/runtime/qclsysin.h"

#include <memory>

bool TQCLBack::PaintClientArea(HDC DC) {
    if (GetPaintMode() != pcControl || IMLEmpty())
        return TQCLCustomFormFill::PaintClientArea(DC);
    TWinControl* f = form();
    if (!f || !DC)
        return false;
    RECT client;
    GetClientRect(f->Handle, &client);
    std::uint16_t mode = 0x20;
    const bool appRealises =
        QCLApplication && QCLApplication->Options.Contains(aoAutoRealizePalette) && QCLSIColorDepth() <= 8;
    if (!appRealises)
        mode |= 0x1000;
    std::unique_ptr<TCanvas> canvas(new TCanvas());
    canvas->Handle = DC;
    GetImageList()->ClipDraw(canvas.get(), TRect(client), mode, 0, static_cast<TColor>(0), GetListIndex(),
                             GetImageIndex());
    canvas->Handle = nullptr;
    return true;
}
