// File-drop target: makes a windowed control accept files dragged from the
// shell and reports each drop as one event with the names and the drop point.
// The main form owns one; its handler starts the file jobs.
//
// Tricky points:
// - The drop handle belongs to whoever ends the drop. With a handler the
//   component reads the names, calls the handler, frees the handle once
//   (DragFinish) and keeps the message from the control; without a handler
//   the message reaches the control untouched and the control frees it.
// - Names that fit a path (under 260 characters) arrive; longer ones are
//   skipped, but fcount still counts every dropped name, so fcount may exceed
//   the list's count.
// - The registration (WS_EX_ACCEPTFILES) is withdrawn whenever the hook lets
//   go, also when the component itself is freed before its control: a window
//   that keeps accepting drops nobody reads would let the shell hand it
//   handles that leak.
// - Case changes touch the ASCII letters only; other characters stay.
#pragma once

#include "components/runtime/QCLHookComponent.h"

enum TQCLCharCase { ccNormal, ccLowerCase, ccUpperCase };

using TQCLFMDragDropEvent = TEvent<void(TObject* Sender, int fcount, int x, int y, TStringList* FileList)>;

class TQCLFMDrop : public TQCLHookComponent {
public:
    explicit TQCLFMDrop(TComponent* AOwner);
    ~TQCLFMDrop() override;

    TQCLCharCase CharCase = ccNormal;
    TQCLFMDragDropEvent OnFMDragDrop;

    void Init() override;
    void RestoreState() override;
    void WndProc(TMessage& Message) override;

    AnsiString ClassName() const override { return "TQCLFMDrop"; }

    // The drop's names as the event would get them; fcount is the number of
    // dropped names. Public so the name rules can be checked on a handle.
    static TStringList* ReadDroppedNames(HDROP Drop, TQCLCharCase CharCase, int& fcount);

private:
    void withdraw();
    HWND registered_ = nullptr;
};
