// Button picture stream; see ButtonPictureList.h.
#include "skin/art/ButtonPictureList.h"

#include "skin/art/ButtonPictures.h"

#include "framework/Classes.h"
#include "framework/Forms.h"
#include "framework/Graphics.h"

#include <memory>

namespace skinart {

std::string buttonPictureStream() {
    TQCLBitmapList list(nullptr);
    const auto& pictures = buttonPictures();
    for (size_t i = 0; i < pictures.size(); ++i) {
        const std::string file = bmpFile(pictures[i].make());
        TMemoryStream source;
        source.Write(file.data(), static_cast<int>(file.size()));
        source.Position = 0;
        TBitmap bitmap;
        bitmap.LoadFromStream(&source);
        TQCLBitmapListItem* item = list.GetArrayItem(list.Add());
        item->SetBitmap(&bitmap);
        if (i < 3)
            item->SetCompressed(true);
        else
            item->SetIdent(static_cast<uint16_t>(i));
    }
    TMemoryStream out;
    list.SaveToStream(&out);
    return std::string(static_cast<const char*>(out.Memory()), static_cast<size_t>(out.GetSize()));
}

bool LoadButtonPictures(TQCLBitmapList* List) {
    if (!FindResourceA(HInstance, ButtonListResource, MAKEINTRESOURCEA(10)))
        return false;
    TResourceStream stream(HInstance, ButtonListResource, MAKEINTRESOURCEA(10));
    List->LoadFromStream(&stream);
    return true;
}

}  // namespace skinart
