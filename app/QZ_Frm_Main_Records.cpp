// The main window's records side: the category box, the record list and the editor rows.
#include "app/QZ_Frm_Main.h"

void TFormMain::buildRecordsSide() {}
void TFormMain::fillCategoryBox() {}
void TFormMain::populateForm(bool, bool) {}
void TFormMain::editCategories() {}
void TFormMain::KTransNewButtonMouseRelease(TObject*) {}
void TFormMain::KTransDeleteButtonMouseRelease(TObject*) {}
void TFormMain::KTransSearchButtonMouseRelease(TObject*) {}
void TFormMain::KTransHelpButtonMouseRelease(TObject*) {}
void TFormMain::QCLListBox2DblClick(TObject*) {}
void TFormMain::moveCategorySelection(int) {}
bool TFormMain::recordListFocused() { return false; }
void TFormMain::hidePasswords() {}
void TFormMain::showPasswords() {}
