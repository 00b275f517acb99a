/*
 * Popup menus; see Menus.h. Items own their children; an item that is also
 * owned by a component is taken out of its parent when its owner frees it.
 */
#include "framework/Menus.h"

#include <algorithm>

#include "framework/Controls.h"
#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"

namespace {

// WM_CONTEXTMENU on a control with a PopupMenu.
void popupForControl(TPopupMenu* Menu, TControl* Control, int ScreenX, int ScreenY) {
    if (!Menu->GetAutoPopup()) return;
    Menu->SetPopupComponent(Control);
    Menu->Popup(ScreenX, ScreenY);
}

}  // namespace

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    Clear();
    if (parent_) parent_->Remove(this);
}

void TMenuItem::Add(TMenuItem* Item) { Insert(GetCount(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (!Item) return;
    if (Item->parent_) throw EInvalidOperation("Menu inserted twice");
    if (Index < 0 || Index > GetCount()) TList::IndexError(Index);
    items_.insert(items_.begin() + Index, Item);
    Item->parent_ = this;
}

void TMenuItem::Delete(int Index) {
    TMenuItem* item = GetItem(Index);
    items_.erase(items_.begin() + Index);
    item->parent_ = nullptr;
}

void TMenuItem::Remove(TMenuItem* Item) {
    int index = IndexOf(Item);
    if (index >= 0) Delete(index);
}

void TMenuItem::Clear() {
    while (!items_.empty()) {
        TMenuItem* last = items_.back();
        items_.pop_back();
        last->parent_ = nullptr;
        last->Free();
    }
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto it = std::find(items_.begin(), items_.end(), Item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenuItem* TMenuItem::GetItem(int Index) const {
    if (Index < 0 || Index >= GetCount()) TList::IndexError(Index);
    return items_[static_cast<size_t>(Index)];
}

void TMenuItem::Click() {
    if (enabled_ && OnClick) OnClick(this);
}

// ---------------------------------------------------------------------------

TBuiltMenu::~TBuiltMenu() {
    if (menu_) DestroyMenu(menu_);
}

TMenuItem* TBuiltMenu::ItemOf(UINT command) const {
    auto it = commands_.find(command);
    return it == commands_.end() ? nullptr : it->second;
}

void TBuiltMenu::addItems(HMENU menu, TMenuItem* parent) {
    for (int i = 0; i < parent->GetCount(); ++i) {
        TMenuItem* item = parent->GetItem(i);
        if (!item->GetVisible()) continue;
        if (item->IsLine()) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING;
        if (!item->GetEnabled()) flags |= MF_GRAYED;
        if (item->GetChecked()) flags |= MF_CHECKED;
        AnsiString caption = item->GetCaption();
        if (item->GetCount() > 0) {
            HMENU sub = CreatePopupMenu();
            addItems(sub, item);
            AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), caption.c_str());
        } else {
            UINT command = static_cast<UINT>(commands_.size() + 1);
            commands_[command] = item;
            AppendMenuA(menu, flags, command, caption.c_str());
            if (item->GetDefault()) SetMenuDefaultItem(menu, command, FALSE);
        }
    }
}

TBuiltMenu* BuildPopupMenu(TMenuItem* Root) {
    auto* built = new TBuiltMenu;
    built->menu_ = CreatePopupMenu();
    if (Root) built->addItems(built->menu_, Root);
    return built;
}

// ---------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* AOwner) : TComponent(AOwner), items_(new TMenuItem(nullptr)) {
    SetPopupMenuHandler(popupForControl);
}

TPopupMenu::~TPopupMenu() { items_->Free(); }

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == popupComponent_) popupComponent_ = nullptr;
}

void TPopupMenu::SetPopupComponent(TComponent* value) {
    if (!SetIfChanged(popupComponent_, value)) return;
    if (value) value->FreeNotification(this);
}

HWND TPopupMenu::OwnerWindow() const {
    // The form of the popup component, else of the menu's owner.
    for (TComponent* c : {popupComponent_, GetOwnerComponent()}) {
        auto* control = dynamic_cast<TControl*>(c);
        if (!control) continue;
        TCustomForm* form = control->GetParentForm();
        if (form && form->HandleAllocated()) return form->GetHandle();
        auto* windowed = dynamic_cast<TWinControl*>(control);
        if (windowed && windowed->HandleAllocated()) return windowed->GetHandle();
    }
    if (HWND owner = DialogOwnerWindow()) return owner;
    return Application ? Application->GetHandle() : nullptr;
}

void TPopupMenu::Popup(int X, int Y) {
    if (OnPopup) OnPopup(this);
    UINT chosen = 0;
    TMenuItem* item = nullptr;
    {
        std::unique_ptr<TBuiltMenu> menu(BuildPopupMenu(items_));
        HWND owner = OwnerWindow();
        static const UINT alignFlags[] = {TPM_LEFTALIGN, TPM_RIGHTALIGN, TPM_CENTERALIGN};
        if (owner) SetForegroundWindow(owner);
        chosen = static_cast<UINT>(TrackPopupMenu(menu->Handle(),
                                                  alignFlags[alignment_] | TPM_RIGHTBUTTON | TPM_RETURNCMD, X, Y,
                                                  0, owner, nullptr));
        item = menu->ItemOf(chosen);
    }
    if (item) item->Click();
}

// ---------------------------------------------------------------------------

TMenuItem* NewItem(const AnsiString& Caption, bool Enabled, const TNotifyEvent& OnClick, TComponent* Owner) {
    auto* item = new TMenuItem(Owner);
    item->SetCaption(Caption);
    item->SetEnabled(Enabled);
    item->OnClick = OnClick;
    return item;
}

TMenuItem* NewLine(TComponent* Owner) {
    auto* item = new TMenuItem(Owner);
    item->SetCaption("-");
    return item;
}
