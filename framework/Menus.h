/*
 * Popup menus built at run time: TMenuItem trees and TPopupMenu.
 *
 * The menu exists as Win32 data only while it is shown: Popup builds an
 * HMENU from the items (command ids numbered in build order), runs
 * TrackPopupMenu with TPM_RETURNCMD owned by the form of the popup component
 * (the foreground window, so that a click outside dismisses the menu),
 * destroys the menu, and only then runs the chosen item's Click. So an
 * OnClick handler may free the menu's items, or the menu itself, safely.
 */
#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "framework/Classes.h"

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    // Children: the item takes ownership of an added item.
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    void Delete(int Index);
    void Remove(TMenuItem* Item);
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    // Fires OnClick (a checked radio item stays checked).
    virtual void Click();
    // True for a caption of "-".
    bool IsLine() const { return caption_ == "-"; }

    TMenuItem* GetItem(int Index) const;
    int GetCount() const { return static_cast<int>(items_.size()); }
    TMenuItem* GetParent() const { return parent_; }
    AnsiString GetCaption() const { return caption_; }
    void SetCaption(const AnsiString& value) { caption_ = value; }
    bool GetEnabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }
    bool GetChecked() const { return checked_; }
    void SetChecked(bool value) { checked_ = value; }
    bool GetVisible() const { return visible_; }
    void SetVisible(bool value) { visible_ = value; }
    bool GetDefault() const { return default_; }
    void SetDefault(bool value) { default_ = value; }
    AnsiString GetHint() const { return hint_; }
    void SetHint(const AnsiString& value) { hint_ = value; }

    TNotifyEvent OnClick;

private:
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
    AnsiString caption_;
    AnsiString hint_;
    bool enabled_ = true;
    bool checked_ = false;
    bool visible_ = true;
    bool default_ = false;

public:
    BRIM_INDEXED_READONLY(Items, TMenuItem::GetItem);
    BRIM_READONLY(Count, TMenuItem::GetCount);
    BRIM_READONLY(Parent, TMenuItem::GetParent);
    BRIM_PROPERTY(Caption, TMenuItem::GetCaption, TMenuItem::SetCaption);
    BRIM_PROPERTY(Enabled, TMenuItem::GetEnabled, TMenuItem::SetEnabled);
    BRIM_PROPERTY(Checked, TMenuItem::GetChecked, TMenuItem::SetChecked);
    BRIM_PROPERTY(Visible, TMenuItem::GetVisible, TMenuItem::SetVisible);
    BRIM_PROPERTY(Default, TMenuItem::GetDefault, TMenuItem::SetDefault);
    BRIM_PROPERTY(Hint, TMenuItem::GetHint, TMenuItem::SetHint);
};

// A built popup menu: the handle and which item each command id stands for.
class TBuiltMenu {
public:
    TBuiltMenu() = default;
    ~TBuiltMenu();
    TBuiltMenu(const TBuiltMenu&) = delete;
    TBuiltMenu& operator=(const TBuiltMenu&) = delete;
    HMENU Handle() const { return menu_; }
    TMenuItem* ItemOf(UINT command) const;

private:
    friend TBuiltMenu* BuildPopupMenu(TMenuItem* Root);
    void addItems(HMENU menu, TMenuItem* parent);
    HMENU menu_ = nullptr;
    std::map<UINT, TMenuItem*> commands_;
};

// Builds a popup menu from the visible children of Root (sub-items become
// sub-menus; "-" a separator). The caller owns the result.
TBuiltMenu* BuildPopupMenu(TMenuItem* Root);

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    // Shows the menu at screen point (X, Y) and runs the chosen item.
    virtual void Popup(int X, int Y);
    // The window that owns the menu while it is shown.
    HWND OwnerWindow() const;

    TMenuItem* GetItems() const { return items_; }
    TComponent* GetPopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* value);
    bool GetAutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool value) { autoPopup_ = value; }
    TPopupAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TPopupAlignment value) { alignment_ = value; }

    TNotifyEvent OnPopup;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TMenuItem* items_;
    TComponent* popupComponent_ = nullptr;
    bool autoPopup_ = true;
    TPopupAlignment alignment_ = paLeft;

public:
    BRIM_READONLY(Items, TPopupMenu::GetItems);
    BRIM_PROPERTY(PopupComponent, TPopupMenu::GetPopupComponent, TPopupMenu::SetPopupComponent);
    BRIM_PROPERTY(AutoPopup, TPopupMenu::GetAutoPopup, TPopupMenu::SetAutoPopup);
    BRIM_PROPERTY(Alignment, TPopupMenu::GetAlignment, TPopupMenu::SetAlignment);
};

// A menu item with a caption and a click handler, for building menus in code.
TMenuItem* NewItem(const AnsiString& Caption, bool Enabled, const TNotifyEvent& OnClick, TComponent* Owner = nullptr);
TMenuItem* NewLine(TComponent* Owner = nullptr);
