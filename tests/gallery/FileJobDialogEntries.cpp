// Gallery entry of the file-job progress dialog: an encryption standing at a fixed percentage,
// its long file name fitted to the label.
#include "fileenc/QZ_Frm_FileEncryption.h"
#include "tests/gallery/Gallery.h"

BRIM_GALLERY_ENTRY("file-job-progress") {
    auto* dialog = MakeForm<TFrm_FileEncryption>(nullptr);
    dialog->ShowStateForTesting("C:\\Documents and Settings\\Pat\\My Documents\\Quarterly figures for the northern "
                                "region, final revision approved by the board.xls",
                                true, 42);
    shot.form(dialog);
    dialog->Free();
}
