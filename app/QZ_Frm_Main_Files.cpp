// The main window's "Encrypted Files" side: the file tree, its panels and the file jobs.
#include "app/QZ_Frm_Main.h"

void TFormMain::buildFilesSide() {}
