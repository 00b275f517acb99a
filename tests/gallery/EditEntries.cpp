// Gallery entry of the library edit in its states: focused with a selection,
// masked, read-only, disabled and scrolled to the end of a long text.
#include "tests/gallery/Gallery.h"

#include "components/controls/QCLCustomEdit.h"
#include "components/runtime/qclclass.h"

#include "framework/Forms.h"
#include "framework/StdCtrls.h"

BRIM_GALLERY_ENTRY("library-controls-edit") {
    QCLInitApplication();
    auto* form = MakeForm<TForm>(nullptr);
    form->Caption = "Library edits";
    form->BorderStyle = bsSingle;
    form->SetBounds(60, 60, 360, 250);
    form->HandleNeeded();
    const char* captions[] = {"Focused, selection:", "Masked:", "Read-only:", "Disabled:", "Scrolled:"};
    TQCLEdit* edits[5];
    for (int i = 0; i < 5; ++i) {
        auto* label = new TLabel(form);
        label->SetParent(form);
        label->SetBounds(12, 18 + i * 40, 120, 16);
        label->Caption = captions[i];
        edits[i] = new TQCLEdit(form);
        edits[i]->SetParent(form);
        edits[i]->SetBounds(140, 14 + i * 40, 190, 21);
    }
    edits[0]->SetText("The quick brown fox");
    edits[1]->SetPasswordChar('*');
    edits[1]->SetText("correct horse");
    edits[2]->SetText("Read-only text");
    edits[2]->SetReadOnly(true);
    edits[3]->SetText("Disabled text");
    edits[3]->SetEnabled(false);
    edits[4]->SetText("A long line that does not fit into the box and scrolls to its end");
    form->Show();
    edits[4]->SetFocus();
    edits[4]->SetCursorPos(edits[4]->GetLength() + 1);
    edits[0]->SetFocus();
    edits[0]->SetSelStart(5);
    edits[0]->SetSelLength(5);
    edits[0]->Repaint();
    shot.form(form);
    form->Free();
    QCLDoneApplication();
}
