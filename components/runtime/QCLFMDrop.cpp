// File-drop target; see QCLFMDrop.h. DragQueryFileA with a null buffer gives
// a name's length without its terminator, so a name is read only when it fits
// MAX_PATH with the terminator.
#include "components/runtime/QCLFMDrop.h"

#include <shellapi.h>

#include <memory>

namespace {

char changeCase(char c, TQCLCharCase charCase) {
    if (charCase == ccUpperCase && c >= 'a' && c <= 'z')
        return static_cast<char>(c - 'a' + 'A');
    if (charCase == ccLowerCase && c >= 'A' && c <= 'Z')
        return static_cast<char>(c - 'A' + 'a');
    return c;
}

} // namespace

TQCLFMDrop::TQCLFMDrop(TComponent* AOwner) : TQCLHookComponent(AOwner) {}

TQCLFMDrop::~TQCLFMDrop() {
    // The base's destructor only unhooks; a registration left behind would
    // keep the window a drop target with nobody reading the drops.
    withdraw();
}

void TQCLFMDrop::Init() {
    TQCLHookComponent::Init();
    if (!GetEnabled() || !HasControl() || GetComponentState().Contains(csDesigning) || !IsHooked())
        return;
    HWND window = GetControl()->Handle;
    DragAcceptFiles(window, TRUE);
    registered_ = window;
}

void TQCLFMDrop::RestoreState() {
    if (!GetComponentState().Contains(csDesigning))
        withdraw();
    TQCLHookComponent::RestoreState();
}

void TQCLFMDrop::withdraw() {
    if (registered_ && IsWindow(registered_))
        DragAcceptFiles(registered_, FALSE);
    registered_ = nullptr;
}

TStringList* TQCLFMDrop::ReadDroppedNames(HDROP Drop, TQCLCharCase CharCase, int& fcount) {
    fcount = static_cast<int>(DragQueryFileA(Drop, 0xFFFFFFFF, nullptr, 0));
    if (fcount <= 0)
        return nullptr;
    std::unique_ptr<TStringList> names(new TStringList());
    for (int i = 0; i < fcount; ++i) {
        UINT length = DragQueryFileA(Drop, static_cast<UINT>(i), nullptr, 0);
        if (length >= MAX_PATH)
            continue;
        char buffer[MAX_PATH] = {};
        UINT got = DragQueryFileA(Drop, static_cast<UINT>(i), buffer, MAX_PATH);
        AnsiString name(buffer, got);
        for (char& c : name)
            c = changeCase(c, CharCase);
        names->Add(name);
    }
    return names.release();
}

void TQCLFMDrop::WndProc(TMessage& Message) {
    if (Message.Msg == WM_DROPFILES && OnFMDragDrop && IsHooked()) {
        HDROP drop = reinterpret_cast<HDROP>(Message.WParam);
        int fcount = 0;
        std::unique_ptr<TStringList> names;
        try {
            names.reset(ReadDroppedNames(drop, CharCase, fcount));
            if (names) {
                POINT at = {0, 0};
                DragQueryPoint(drop, &at);
                OnFMDragDrop(this, fcount, at.x, at.y, names.get());
            }
        } catch (...) {
            DragFinish(drop);
            Message.Result = 0;
            throw;
        }
        DragFinish(drop);
        Message.Result = 0;
        return;
    }
    TQCLHookComponent::WndProc(Message);
}
