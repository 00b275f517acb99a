/*
 * TWinControl, focus and keyboard: focusing (deferred to the first show of a
 * form not yet on screen), key events with the form's key preview first, and
 * the tab order. Tab orders among siblings are kept unique and dense: setting
 * one renumbers the others.
 */
#include "framework/Controls.h"

#include <algorithm>

#include "framework/Forms.h"

bool TWinControl::CanFocus() {
    for (TControl* c = this; c; c = c->GetParent())
        if (!c->GetVisible() || !c->GetEnabled()) return false;
    return GetParentForm() != nullptr;
}

bool TWinControl::Focused() { return handle_ && ::GetFocus() == handle_; }

void TWinControl::SetFocus() {
    TCustomForm* form = GetParentForm();
    if (form && form != this && !form->Showing()) {
        // The form is not on screen yet: remember the choice for its first show.
        form->SetActiveControl(this);
        return;
    }
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    ::SetFocus(GetHandle());
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

// The form sees the key first when it previews keys; a key set to 0 by either is consumed.
bool TWinControl::DispatchKey(TMessage& Message, void (TWinControl::*handler)(WORD&, TShiftState)) {
    TShiftState shift = KeyDataToShiftState(Message.LParam);
    WORD key = static_cast<WORD>(Message.WParam);
    TCustomForm* form = GetParentForm();
    if (form && form != this && form->GetKeyPreview()) {
        (form->*handler)(key, shift);
        if (key == 0) return true;
    }
    (this->*handler)(key, shift);
    if (key == 0) return true;
    Message.WParam = key;
    return false;
}

bool TWinControl::DoKeyDown(TMessage& Message) { return DispatchKey(Message, &TWinControl::KeyDown); }

bool TWinControl::DoKeyUp(TMessage& Message) { return DispatchKey(Message, &TWinControl::KeyUp); }

bool TWinControl::DoKeyPress(TMessage& Message) {
    TCustomForm* form = GetParentForm();
    char key = static_cast<char>(Message.WParam);
    if (form && form != this && form->GetKeyPreview()) {
        form->KeyPress(key);
        if (key == 0) return true;
    }
    KeyPress(key);
    if (key == 0) return true;
    Message.WParam = static_cast<unsigned char>(key);
    return false;
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
    std::vector<TWinControl*> children;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) children.push_back(w);
    std::stable_sort(children.begin(), children.end(), [](TWinControl* a, TWinControl* b) {
        return a->GetTabOrder() < b->GetTabOrder();
    });
    for (TWinControl* child : children) {
        List.push_back(child);
        child->GetTabOrderList(List);
    }
}

int TWinControl::GetTabOrder() const {
    TWinControl* parent = GetParent();
    if (!parent) return -1;
    if (tabOrder_ >= 0) return tabOrder_;
    // Default order: position among windowed siblings.
    int index = 0;
    for (TControl* c : parent->controls_) {
        if (c == this) return index;
        if (dynamic_cast<TWinControl*>(c)) ++index;
    }
    return index;
}

void TWinControl::SetTabOrder(int value) {
    TWinControl* parent = GetParent();
    if (!parent) {
        tabOrder_ = value;
        return;
    }
    // Renumber the siblings so that orders stay unique and dense.
    std::vector<TWinControl*> siblings;
    for (TControl* c : parent->controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) siblings.push_back(w);
    std::stable_sort(siblings.begin(), siblings.end(),
                     [](TWinControl* a, TWinControl* b) { return a->GetTabOrder() < b->GetTabOrder(); });
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    value = std::max(0, std::min(value, static_cast<int>(siblings.size())));
    siblings.insert(siblings.begin() + value, this);
    for (size_t i = 0; i < siblings.size(); ++i) siblings[i]->tabOrder_ = static_cast<int>(i);
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int count = static_cast<int>(list.size());
    int start = static_cast<int>(std::find(list.begin(), list.end(), CurControl) - list.begin());
    if (start == count) start = GoForward ? count - 1 : 0;
    int i = start;
    for (int n = 0; n < count; ++n) {
        i = GoForward ? (i + 1) % count : (i - 1 + count) % count;
        TWinControl* candidate = list[static_cast<size_t>(i)];
        if (candidate == CurControl) continue;
        if ((!CheckTabStop || candidate->tabStop_) && (!CheckParent || candidate->GetParent() == this) &&
            candidate->CanFocus())
            return candidate;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop);
    if (next) next->SetFocus();
}
