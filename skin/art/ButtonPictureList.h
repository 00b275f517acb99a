/*
 * The container stream of the main window's 19 button pictures: built from
 * the generator's pictures with the runtime's own bitmap-list writer, and
 * read back from the linked RCDATA resource "QCLBitmapList1".
 */
#pragma once

#include "components/runtime/qclcont.h"

#include <string>

namespace skinart {

constexpr const char* ButtonListResource = "QCLBitmapList1";

// The stream's bytes: an int32 count and 19 item records (pictures 0-2
// compressed, the rest with their index as ident).
std::string buttonPictureStream();
// Fills the list from the program's resource; false when it is missing.
bool LoadButtonPictures(TQCLBitmapList* List);

}  // namespace skinart
