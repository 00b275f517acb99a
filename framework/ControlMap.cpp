// The control map: a form's controls found by name from other processes (see ControlMap.h).
#include "framework/ControlMap.h"

#include "framework/Controls.h"
#include "framework/Forms.h"

#include <functional>
#include <vector>

namespace {

constexpr int Bias = 0x8000;

// Every component the form owns, directly or through its components, depth first in creation order.
void collect(TComponent* owner, std::vector<TComponent*>& all) {
    for (int i = 0; i < owner->GetComponentCount(); ++i) {
        TComponent* child = owner->GetComponent(i);
        all.push_back(child);
        collect(child, all);
    }
}

// The first match that shows on screen, else the first match: of two buttons with one caption the user sees one.
TComponent* firstWhere(const std::vector<TComponent*>& all, const std::function<bool(TComponent*)>& match) {
    TComponent* first = nullptr;
    for (TComponent* c : all) {
        if (!match(c)) continue;
        auto* control = dynamic_cast<TControl*>(c);
        if (!control || control->Showing()) return c;
        if (!first) first = c;
    }
    return first;
}

// The control's bounds on the screen; false when it has none yet.
bool screenBounds(TControl* control, RECT& bounds) {
    if (auto* windowed = dynamic_cast<TWinControl*>(control); windowed && windowed->HandleAllocated())
        return GetWindowRect(windowed->GetHandle(), &bounds) != FALSE;
    TWinControl* parent = control->GetParent();
    if (!parent || !parent->HandleAllocated()) return false;
    POINT origin{control->GetLeft(), control->GetTop()};
    if (!ClientToScreen(parent->GetHandle(), &origin)) return false;
    bounds = {origin.x, origin.y, origin.x + control->GetWidth(), origin.y + control->GetHeight()};
    return true;
}

}  // namespace

UINT ControlMapMessage() {
    static const UINT message = RegisterWindowMessageA(ControlMapMessageName);
    return message;
}

void ControlMapTagWindow(HWND window, const std::string& name) {
    if (!window || name.empty()) return;
    if (const ATOM atom = GlobalAddAtomA(name.c_str()))
        SetPropA(window, ControlMapNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom)));
}

void ControlMapUntagWindow(HWND window) {
    if (!window) return;
    if (HANDLE tag = RemovePropA(window, ControlMapNameProperty))
        GlobalDeleteAtom(static_cast<ATOM>(reinterpret_cast<UINT_PTR>(tag)));
}

std::string ControlMapNameOfWindow(HWND window) {
    const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(window, ControlMapNameProperty)));
    char name[256] = {};
    return atom && GlobalGetAtomNameA(atom, name, sizeof name) ? name : "";
}

LRESULT ControlMapPack(POINT point) {
    return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(point.x + Bias), static_cast<WORD>(point.y + Bias)));
}

POINT ControlMapUnpack(LRESULT packed) {
    const auto bits = static_cast<DWORD>(packed);
    return POINT{static_cast<LONG>(LOWORD(bits)) - Bias, static_cast<LONG>(HIWORD(bits)) - Bias};
}

TComponent* ControlMapFind(TCustomForm* form, const std::string& name) {
    if (!form || name.empty()) return nullptr;
    std::vector<TComponent*> all;
    collect(form, all);
    if (TComponent* named = firstWhere(all, [&](TComponent* c) { return c->GetName() == name; })) return named;
    if (TComponent* captioned = firstWhere(all, [&](TComponent* c) {
            auto* control = dynamic_cast<TControl*>(c);
            return control && control->GetText() == name;
        }))
        return captioned;
    if (TComponent* hinted = firstWhere(all, [&](TComponent* c) {
            auto* control = dynamic_cast<TControl*>(c);
            return control && control->GetHint() == name;
        }))
        return hinted;
    const auto hash = name.rfind('#');
    if (hash == std::string::npos || hash == 0 || hash + 1 == name.size()) return nullptr;
    int wanted = 0;
    for (char digit : name.substr(hash + 1)) {
        if (digit < '0' || digit > '9' || wanted > 100000) return nullptr;
        wanted = wanted * 10 + (digit - '0');
    }
    const std::string className = name.substr(0, hash);
    for (TComponent* c : all)
        if (dynamic_cast<TControl*>(c) && c->ClassName() == className && --wanted == 0) return c;
    return nullptr;
}

bool ControlMapAnswer(TCustomForm* form, TMessage& Message) {
    if (Message.Msg != ControlMapMessage()) return false;
    Message.Result = 0;
    char name[256] = {};
    const auto atom = static_cast<ATOM>(Message.LParam);
    if (!atom || !GlobalGetAtomNameA(atom, name, sizeof name)) return true;
    auto* control = dynamic_cast<TControl*>(ControlMapFind(form, name));
    if (!control) return true;
    RECT bounds{};
    switch (Message.WParam) {
    case cmqHandle:
        if (auto* windowed = dynamic_cast<TWinControl*>(control); windowed && windowed->HandleAllocated())
            Message.Result = reinterpret_cast<LRESULT>(windowed->GetHandle());
        break;
    case cmqTopLeft:
        if (screenBounds(control, bounds)) Message.Result = ControlMapPack(POINT{bounds.left, bounds.top});
        break;
    case cmqBottomRight:
        if (screenBounds(control, bounds)) Message.Result = ControlMapPack(POINT{bounds.right, bounds.bottom});
        break;
    case cmqState:
        Message.Result = cmsFound;
        if (control->Showing()) Message.Result |= cmsShowing;
        if (control->GetEnabled()) Message.Result |= cmsEnabled;
        break;
    default:
        break;
    }
    return true;
}
