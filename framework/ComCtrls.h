/*
 * Common controls: the header control with its sections, and the tree view
 * with nodes and an emulated multi-selection.
 *
 * Header: sections are a collection; the window's items are rebuilt from it
 * (so they survive re-creation). Setting a section's Width from code fires
 * nothing; OnSectionResize comes from the end of a user drag (HDN_ENDTRACK)
 * or a width change the user made otherwise (HDN_ITEMCHANGED). Both the A
 * and the W forms of the notifications are accepted.
 *
 * Animation: the system animation control playing an AVI from a resource
 * (ResId, of type "AVI") or a file; frames count from 1 as the framework's
 * did, and the control's ACN_START / ACN_STOP become OnStart / OnStop.
 *
 * Tree: nodes are objects that hold their text, data, images and expanded
 * state; the window is a projection of them (each item's lParam is its
 * node), rebuilt when the window is re-created. The system tree selects one
 * item; the stand-in keeps its own selection list instead (TreeSelection.h):
 * a press on an item is handled here and not passed on, selected nodes carry
 * TVIS_SELECTED, and OnChange fires on every change of the selection set,
 * also one made from code. Deleting nodes drops them from the selection
 * without an event.
 */
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "framework/ImgList.h"
#include "framework/StdCtrls.h"
#include "framework/TreeSelection.h"

// ---------------------------------------------------------------------------
// Header control

class THeaderControl;
class THeaderSections;

enum THeaderSectionStyle { hsText, hsOwnerDraw };
enum TSectionTrackState { tsTrackBegin, tsTrackMove, tsTrackEnd };

class THeaderSection : public TCollectionItem {
public:
    explicit THeaderSection(TCollection* Collection);

    AnsiString GetText() const { return text_; }
    void SetText(const AnsiString& value);
    int GetWidth() const { return width_; }
    void SetWidth(int value);
    int GetMinWidth() const { return minWidth_; }
    void SetMinWidth(int value);
    int GetMaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int value);
    TAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    THeaderSectionStyle GetStyle() const { return style_; }
    void SetStyle(THeaderSectionStyle value);
    bool GetAllowClick() const { return allowClick_; }
    void SetAllowClick(bool value) { allowClick_ = value; }
    bool GetAllowResize() const { return allowResize_; }
    void SetAllowResize(bool value) { allowResize_ = value; }
    // The section's left and right edges (sums of the widths before it).
    int GetLeft() const;
    int GetRight() const { return GetLeft() + width_; }
    void Assign(TPersistent* Source) override;
    AnsiString GetDisplayName() const override { return text_; }

private:
    friend class THeaderControl;
    AnsiString text_;
    int width_ = 50;
    int minWidth_ = 0;
    int maxWidth_ = 10000;
    TAlignment alignment_ = taLeftJustify;
    THeaderSectionStyle style_ = hsText;
    bool allowClick_ = true;
    bool allowResize_ = true;

public:
    BRIM_PROPERTY(Text, THeaderSection::GetText, THeaderSection::SetText);
    BRIM_PROPERTY(Width, THeaderSection::GetWidth, THeaderSection::SetWidth);
    BRIM_PROPERTY(MinWidth, THeaderSection::GetMinWidth, THeaderSection::SetMinWidth);
    BRIM_PROPERTY(MaxWidth, THeaderSection::GetMaxWidth, THeaderSection::SetMaxWidth);
    BRIM_PROPERTY(Alignment, THeaderSection::GetAlignment, THeaderSection::SetAlignment);
    BRIM_PROPERTY(Style, THeaderSection::GetStyle, THeaderSection::SetStyle);
    BRIM_PROPERTY(AllowClick, THeaderSection::GetAllowClick, THeaderSection::SetAllowClick);
    BRIM_PROPERTY(AllowResize, THeaderSection::GetAllowResize, THeaderSection::SetAllowResize);
    BRIM_READONLY(Left, THeaderSection::GetLeft);
    BRIM_READONLY(Right, THeaderSection::GetRight);
};

class THeaderSections : public TCollection {
public:
    explicit THeaderSections(THeaderControl* HeaderControl);
    THeaderSection* Add() { return static_cast<THeaderSection*>(TCollection::Add()); }
    THeaderSection* Insert(int Index) { return static_cast<THeaderSection*>(TCollection::Insert(Index)); }
    THeaderSection* GetItem(int Index) const { return static_cast<THeaderSection*>(TCollection::GetItem(Index)); }
    TPersistent* GetOwner() const override;

protected:
    void Update(TCollectionItem* Item) override;

private:
    THeaderControl* header_;

public:
    BRIM_INDEXED_READONLY(Items, THeaderSections::GetItem);
};

using TSectionNotifyEvent = TEvent<void(THeaderControl* HeaderControl, THeaderSection* Section)>;
using TSectionTrackEvent =
    TEvent<void(THeaderControl* HeaderControl, THeaderSection* Section, int Width, TSectionTrackState State)>;
using TDrawSectionEvent =
    TEvent<void(THeaderControl* HeaderControl, THeaderSection* Section, const TRect& Rect, bool Pressed)>;

class THeaderControl : public TWinControl {
public:
    explicit THeaderControl(TComponent* AOwner);
    ~THeaderControl() override;

    THeaderSections* GetSections() const { return sections_; }
    void SetSections(THeaderSections* value) { sections_->Assign(value); }
    bool GetHotTrack() const { return hotTrack_; }
    void SetHotTrack(bool value);
    bool GetFlat() const { return flat_; }
    void SetFlat(bool value);
    TCanvas* GetCanvas() { return GetControlCanvas(); }

    void Dispatch(TMessage& Message) override;

    TSectionNotifyEvent OnSectionClick;
    TSectionNotifyEvent OnSectionResize;
    TSectionTrackEvent OnSectionTrack;
    TDrawSectionEvent OnDrawSection;

protected:
    friend class THeaderSections;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void SectionClick(THeaderSection* Section);
    virtual void SectionResize(THeaderSection* Section);
    virtual void SectionTrack(THeaderSection* Section, int Width, TSectionTrackState State);
    virtual void DrawSection(THeaderSection* Section, const TRect& Rect, bool Pressed);
    // Shows one section on the window (or all of them again for null).
    void UpdateSection(THeaderSection* Section);

private:
    void notify(TMessage& Message);
    THeaderSections* sections_;
    bool hotTrack_ = false;
    bool flat_ = false;
    bool tracking_ = false;

public:
    BRIM_PROPERTY(Sections, THeaderControl::GetSections, THeaderControl::SetSections);
    BRIM_PROPERTY(HotTrack, THeaderControl::GetHotTrack, THeaderControl::SetHotTrack);
    BRIM_PROPERTY(Flat, THeaderControl::GetFlat, THeaderControl::SetFlat);
    BRIM_READONLY(Canvas, THeaderControl::GetCanvas);
};

// ---------------------------------------------------------------------------
// Tree view

class TTreeNodes;
class TCustomTreeView;

class TTreeNode : public TPersistent {
public:
    TTreeNode(TTreeNodes* Owner, TTreeNode* Parent) : owner_(Owner), parent_(Parent) {}
    ~TTreeNode() override;

    TTreeNode* getFirstChild() const { return children_.empty() ? nullptr : children_.front(); }
    TTreeNode* GetLastChild() const { return children_.empty() ? nullptr : children_.back(); }
    TTreeNode* getNextSibling() const;
    TTreeNode* getPrevSibling() const;
    // The next node in depth-first order (child, sibling, ancestor's sibling).
    TTreeNode* GetNext() const;
    TTreeNode* GetNextVisible() const;
    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    void MakeVisible();
    // The item's rectangle in the tree's client area (text only or the whole line).
    TRect DisplayRect(bool TextOnly) const;
    // Removes the node and its children from the tree and frees them.
    void Delete();
    void DeleteChildren();
    bool IsVisible() const;

    AnsiString GetText() const { return text_; }
    void SetText(const AnsiString& value);
    void* GetData() const { return data_; }
    void SetData(void* value) { data_ = value; }
    int GetImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    int GetSelectedIndex() const { return selectedIndex_; }
    void SetSelectedIndex(int value);
    int GetStateIndex() const { return stateIndex_; }
    void SetStateIndex(int value);
    TTreeNode* GetParent() const { return parent_; }
    int GetLevel() const;
    bool GetHasChildren() const { return !children_.empty(); }
    int GetCount() const { return static_cast<int>(children_.size()); }
    TTreeNode* GetItem(int Index) const;
    int GetIndex() const;
    int GetAbsoluteIndex() const;
    bool GetExpanded() const;
    void SetExpanded(bool value);
    bool GetSelected() const;
    void SetSelected(bool value);
    bool GetFocused() const;
    HTREEITEM GetItemId() const { return item_; }
    TCustomTreeView* GetTreeView() const;
    TTreeNodes* GetTreeNodes() const { return owner_; }

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    void updateItem(UINT mask);

    TTreeNodes* owner_;
    TTreeNode* parent_;
    std::vector<TTreeNode*> children_;
    AnsiString text_;
    void* data_ = nullptr;
    int imageIndex_ = 0;
    int selectedIndex_ = 0;
    int stateIndex_ = -1;
    bool expanded_ = false;
    HTREEITEM item_ = nullptr;

public:
    BRIM_PROPERTY(Text, TTreeNode::GetText, TTreeNode::SetText);
    BRIM_PROPERTY(Data, TTreeNode::GetData, TTreeNode::SetData);
    BRIM_PROPERTY(ImageIndex, TTreeNode::GetImageIndex, TTreeNode::SetImageIndex);
    BRIM_PROPERTY(SelectedIndex, TTreeNode::GetSelectedIndex, TTreeNode::SetSelectedIndex);
    BRIM_PROPERTY(StateIndex, TTreeNode::GetStateIndex, TTreeNode::SetStateIndex);
    BRIM_READONLY(Parent, TTreeNode::GetParent);
    BRIM_READONLY(Level, TTreeNode::GetLevel);
    BRIM_READONLY(HasChildren, TTreeNode::GetHasChildren);
    BRIM_READONLY(Count, TTreeNode::GetCount);
    BRIM_INDEXED_READONLY(Item, TTreeNode::GetItem);
    BRIM_READONLY(Index, TTreeNode::GetIndex);
    BRIM_READONLY(AbsoluteIndex, TTreeNode::GetAbsoluteIndex);
    BRIM_PROPERTY(Expanded, TTreeNode::GetExpanded, TTreeNode::SetExpanded);
    BRIM_PROPERTY(Selected, TTreeNode::GetSelected, TTreeNode::SetSelected);
    BRIM_READONLY(Focused, TTreeNode::GetFocused);
    BRIM_READONLY(ItemId, TTreeNode::GetItemId);
    BRIM_READONLY(TreeView, TTreeNode::GetTreeView);
};

class TTreeNodes : public TPersistent {
public:
    explicit TTreeNodes(TCustomTreeView* Owner) : owner_(Owner) {}
    ~TTreeNodes() override;

    void Clear();
    // A new last sibling of Sibling (a root node when Sibling is null).
    TTreeNode* Add(TTreeNode* Sibling, const AnsiString& S) { return AddObject(Sibling, S, nullptr); }
    TTreeNode* AddObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr);
    TTreeNode* AddFirst(TTreeNode* Sibling, const AnsiString& S);
    // A new last child of Parent (a root node when Parent is null).
    TTreeNode* AddChild(TTreeNode* Parent, const AnsiString& S) { return AddChildObject(Parent, S, nullptr); }
    TTreeNode* AddChildObject(TTreeNode* Parent, const AnsiString& S, void* Ptr);
    TTreeNode* AddChildFirst(TTreeNode* Parent, const AnsiString& S);
    // A new node just before Sibling (the last root node when Sibling is null).
    TTreeNode* Insert(TTreeNode* Sibling, const AnsiString& S) { return InsertObject(Sibling, S, nullptr); }
    TTreeNode* InsertObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr);
    void Delete(TTreeNode* Node) { Node->Delete(); }
    void BeginUpdate();
    void EndUpdate();

    TTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front(); }
    int GetCount() const;
    // The node at a depth-first position.
    TTreeNode* GetNodeFromIndex(int Index) const;
    TCustomTreeView* GetTreeView() const { return owner_; }

private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    // Links a new node into `siblings` at `index` and shows it.
    TTreeNode* insertNode(TTreeNode* parent, int index, const AnsiString& text, void* data);
    std::vector<TTreeNode*>& siblingsOf(TTreeNode* parent) { return parent ? parent->children_ : roots_; }

    TCustomTreeView* owner_;
    std::vector<TTreeNode*> roots_;
    int updateCount_ = 0;

public:
    BRIM_READONLY(Count, TTreeNodes::GetCount);
    BRIM_INDEXED_READONLY(Item, TTreeNodes::GetNodeFromIndex);
};

using TTVChangedEvent = TEvent<void(TObject* Sender, TTreeNode* Node)>;
using TTVExpandedEvent = TEvent<void(TObject* Sender, TTreeNode* Node)>;

class TCustomTreeView : public TWinControl {
public:
    explicit TCustomTreeView(TComponent* AOwner);
    ~TCustomTreeView() override;

    // Applies a click on Node with the given keys (Ctrl toggles, Shift ranges).
    void Select(TTreeNode* Node, TShiftState Shift = TShiftState());
    void ClearSelection();
    TTreeNode* GetNodeAt(int X, int Y);
    void FullExpand();
    void FullCollapse();

    TTreeNodes* GetItems() const { return items_; }
    void SetItems(TTreeNodes* value);
    // The caret node: the last one clicked or selected.
    TTreeNode* GetSelected() const { return caret_; }
    void SetSelected(TTreeNode* value);
    int GetSelectionCount() const { return static_cast<int>(selection_.selection.size()); }
    TTreeNode* GetSelection(int Index) const;
    bool GetReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool GetShowLines() const { return showLines_; }
    void SetShowLines(bool value);
    bool GetShowButtons() const { return showButtons_; }
    void SetShowButtons(bool value);
    bool GetShowRoot() const { return showRoot_; }
    void SetShowRoot(bool value);
    bool GetHideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value);
    TBorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    // The images drawn beside the nodes (ImageIndex / SelectedIndex).
    TCustomImageList* GetImages() const { return images_; }
    void SetImages(TCustomImageList* value);
    TTreeNode* GetTopItem();

    void Dispatch(TMessage& Message) override;

    TTVChangedEvent OnChange;
    TTVExpandedEvent OnExpanded;
    TTVExpandedEvent OnCollapsed;

protected:
    friend class TTreeNode;
    friend class TTreeNodes;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Change(TTreeNode* Node);
    // Marks the selected nodes with TVIS_SELECTED and moves the caret.
    void ShowSelection();
    // Puts a node (and its children) into the window.
    void InsertItem(TTreeNode* Node);
    TTreeNode* NodeFromItem(HTREEITEM Item) const;
    // Drops a node that is going away from the selection (no event).
    void ForgetNode(TTreeNode* Node);
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void notify(TMessage& Message);
    bool handlePress(TMessage& Message);
    // Copies the expansion out of the window and forgets the items.
    void saveNodes();
    std::vector<TTreeNode*> visibleNodes() const;
    void setSelection(const TTreeSelectionState<TTreeNode>& state, TTreeNode* caret);

    TTreeNodes* items_;
    TTreeSelectionState<TTreeNode> selection_;
    TTreeNode* caret_ = nullptr;
    void imagesChanged(TObject*);
    TCustomImageList* images_ = nullptr;
    TChangeLink* imageLink_;
    bool readOnly_ = false;
    bool showLines_ = true;
    bool showButtons_ = true;
    bool showRoot_ = true;
    bool hideSelection_ = true;
    TBorderStyle borderStyle_ = bsSingle;
    // Set while the stand-in itself moves the system's caret.
    int selecting_ = 0;

public:
    BRIM_PROPERTY(Items, TCustomTreeView::GetItems, TCustomTreeView::SetItems);
    BRIM_PROPERTY(Selected, TCustomTreeView::GetSelected, TCustomTreeView::SetSelected);
    BRIM_READONLY(SelectionCount, TCustomTreeView::GetSelectionCount);
    BRIM_INDEXED_READONLY(Selections, TCustomTreeView::GetSelection);
    BRIM_PROPERTY(ReadOnly, TCustomTreeView::GetReadOnly, TCustomTreeView::SetReadOnly);
    BRIM_PROPERTY(ShowLines, TCustomTreeView::GetShowLines, TCustomTreeView::SetShowLines);
    BRIM_PROPERTY(ShowButtons, TCustomTreeView::GetShowButtons, TCustomTreeView::SetShowButtons);
    BRIM_PROPERTY(ShowRoot, TCustomTreeView::GetShowRoot, TCustomTreeView::SetShowRoot);
    BRIM_PROPERTY(HideSelection, TCustomTreeView::GetHideSelection, TCustomTreeView::SetHideSelection);
    BRIM_PROPERTY(BorderStyle, TCustomTreeView::GetBorderStyle, TCustomTreeView::SetBorderStyle);
    BRIM_READONLY(TopItem, TCustomTreeView::GetTopItem);
    BRIM_PROPERTY(Images, TCustomTreeView::GetImages, TCustomTreeView::SetImages);
};

class TTreeView : public TCustomTreeView {
public:
    using TCustomTreeView::TCustomTreeView;
};

// ---------------------------------------------------------------------------
// Animation

class TAnimate : public TWinControl {
public:
    explicit TAnimate(TComponent* AOwner);

    // Plays frames FromFrame..ToFrame (from 1) Count times (0: until stopped).
    void Play(int FromFrame, int ToFrame, int Count);
    void Stop();
    // Shows one frame (from 1).
    void Seek(int Frame);
    void Reset();

    int GetResId() const { return resId_; }
    void SetResId(int value);
    AnsiString GetFileName() const { return fileName_; }
    void SetFileName(const AnsiString& value);
    HINSTANCE GetResHandle() const { return resHandle_; }
    void SetResHandle(HINSTANCE value) { resHandle_ = value; }
    bool GetActive() const { return active_; }
    void SetActive(bool value);
    bool GetCenter() const { return center_; }
    void SetCenter(bool value);
    bool GetTransparent() const { return transparent_; }
    void SetTransparent(bool value);
    int GetRepetitions() const { return repetitions_; }
    void SetRepetitions(int value) { repetitions_ = value; }
    int GetStartFrame() const { return startFrame_; }
    void SetStartFrame(int value) { startFrame_ = value; }
    // The last frame played; 0 means the last of the clip.
    int GetStopFrame() const { return stopFrame_; }
    void SetStopFrame(int value) { stopFrame_ = value; }
    // From the clip's header (0 while none is open).
    int GetFrameCount() const { return frameCount_; }
    int GetFrameWidth() const { return frameWidth_; }
    int GetFrameHeight() const { return frameHeight_; }
    bool GetOpen() const { return open_; }

    void Dispatch(TMessage& Message) override;

    TNotifyEvent OnOpen;
    TNotifyEvent OnClose;
    TNotifyEvent OnStart;
    TNotifyEvent OnStop;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    // Opens the clip named by ResId or FileName on the window (or closes it).
    void openClip();
    void readHeader(const AnsiString& avi);

    int resId_ = 0;
    AnsiString fileName_;
    HINSTANCE resHandle_ = nullptr;
    bool active_ = false;
    bool center_ = true;
    bool transparent_ = true;
    bool open_ = false;
    int repetitions_ = 0;
    int startFrame_ = 1;
    int stopFrame_ = 0;
    int frameCount_ = 0, frameWidth_ = 0, frameHeight_ = 0;

public:
    BRIM_PROPERTY(ResId, TAnimate::GetResId, TAnimate::SetResId);
    BRIM_PROPERTY(FileName, TAnimate::GetFileName, TAnimate::SetFileName);
    BRIM_PROPERTY(ResHandle, TAnimate::GetResHandle, TAnimate::SetResHandle);
    BRIM_PROPERTY(Active, TAnimate::GetActive, TAnimate::SetActive);
    BRIM_PROPERTY(Center, TAnimate::GetCenter, TAnimate::SetCenter);
    BRIM_PROPERTY(Transparent, TAnimate::GetTransparent, TAnimate::SetTransparent);
    BRIM_PROPERTY(Repetitions, TAnimate::GetRepetitions, TAnimate::SetRepetitions);
    BRIM_PROPERTY(StartFrame, TAnimate::GetStartFrame, TAnimate::SetStartFrame);
    BRIM_PROPERTY(StopFrame, TAnimate::GetStopFrame, TAnimate::SetStopFrame);
    BRIM_READONLY(FrameCount, TAnimate::GetFrameCount);
    BRIM_READONLY(FrameWidth, TAnimate::GetFrameWidth);
    BRIM_READONLY(FrameHeight, TAnimate::GetFrameHeight);
    BRIM_READONLY(Open, TAnimate::GetOpen);
};
