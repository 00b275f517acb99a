/*
 * Header control and tree view; see ComCtrls.h.
 */
#include "framework/ComCtrls.h"

#include <windowsx.h>

#include <algorithm>
#include <functional>

namespace {

bool isLoading(const TComponent* c) { return c->GetComponentState().Contains(csLoading); }

// Notification codes in their A and W forms.
bool isCode(UINT code, UINT a, UINT w) { return code == a || code == w; }

// The header notifications that carry NMHEADER.
bool isHeaderItemCode(UINT code) {
    for (UINT handled : {HDN_ITEMCLICKA, HDN_ITEMCLICKW, HDN_BEGINTRACKA, HDN_BEGINTRACKW, HDN_TRACKA, HDN_TRACKW,
                         HDN_ENDTRACKA, HDN_ENDTRACKW, HDN_ITEMCHANGEDA, HDN_ITEMCHANGEDW})
        if (code == handled) return true;
    return false;
}

}  // namespace

// ---------------------------------------------------------------------------
// THeaderSection

// Joins the collection only once constructed: joining shows every section on the window.
THeaderSection::THeaderSection(TCollection* Collection) : TCollectionItem(nullptr) { SetCollection(Collection); }

void THeaderSection::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<THeaderSection*>(Source)) {
        text_ = other->text_;
        width_ = other->width_;
        minWidth_ = other->minWidth_;
        maxWidth_ = other->maxWidth_;
        alignment_ = other->alignment_;
        style_ = other->style_;
        allowClick_ = other->allowClick_;
        allowResize_ = other->allowResize_;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(Source);
}

void THeaderSection::SetText(const AnsiString& value) {
    if (SetIfChanged(text_, value)) Changed(false);
}

void THeaderSection::SetWidth(int value) {
    value = std::max(minWidth_, std::min(value, maxWidth_));
    if (SetIfChanged(width_, value)) Changed(true);
}

void THeaderSection::SetMinWidth(int value) {
    minWidth_ = value;
    if (width_ < value) SetWidth(value);
}

void THeaderSection::SetMaxWidth(int value) {
    maxWidth_ = value;
    if (width_ > value) SetWidth(value);
}

void THeaderSection::SetAlignment(TAlignment value) {
    if (SetIfChanged(alignment_, value)) Changed(false);
}

void THeaderSection::SetStyle(THeaderSectionStyle value) {
    if (SetIfChanged(style_, value)) Changed(false);
}

int THeaderSection::GetLeft() const {
    int left = 0;
    TCollection* sections = GetCollection();
    for (int i = 0; sections && i < GetIndex(); ++i)
        left += static_cast<THeaderSection*>(sections->GetItem(i))->width_;
    return left;
}

// ---------------------------------------------------------------------------
// THeaderSections

THeaderSections::THeaderSections(THeaderControl* HeaderControl)
    : TCollection(TCollection::FactoryOf<THeaderSection>()), header_(HeaderControl) {}

TPersistent* THeaderSections::GetOwner() const { return header_; }

void THeaderSections::Update(TCollectionItem* Item) {
    header_->UpdateSection(static_cast<THeaderSection*>(Item));
}

// ---------------------------------------------------------------------------
// THeaderControl

THeaderControl::THeaderControl(TComponent* AOwner) : TWinControl(AOwner), sections_(new THeaderSections(this)) {
    SetControlStyle(TControlStyle{});
    SetAlign(alTop);
    SetBounds(0, 0, 250, 17);
}

THeaderControl::~THeaderControl() {
    if (HandleAllocated()) DestroyHandle();
    delete sections_;
    sections_ = nullptr;
}

void THeaderControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.SystemClassName = WC_HEADERA;
    Params.Style |= HDS_FULLDRAG | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (!flat_) Params.Style |= HDS_BUTTONS;
    if (hotTrack_) Params.Style |= HDS_HOTTRACK;
}

void THeaderControl::CreateWnd() {
    TWinControl::CreateWnd();
    UpdateSection(nullptr);
}

void THeaderControl::UpdateSection(THeaderSection* Section) {
    if (!sections_ || !HandleAllocated()) return;
    HWND window = GetHandle();
    static const int alignFormat[] = {HDF_LEFT, HDF_RIGHT, HDF_CENTER};
    auto itemOf = [&](THeaderSection* s, HDITEMA& item) {
        item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT | HDI_LPARAM;
        item.cxy = s->width_;
        item.pszText = const_cast<char*>(s->text_.c_str());
        item.cchTextMax = static_cast<int>(s->text_.size());
        item.fmt = alignFormat[s->alignment_] | (s->style_ == hsOwnerDraw ? HDF_OWNERDRAW : HDF_STRING);
        item.lParam = reinterpret_cast<LPARAM>(s);
    };
    if (Section) {
        HDITEMA item{};
        itemOf(Section, item);
        SendMessageA(window, HDM_SETITEMA, static_cast<WPARAM>(Section->GetIndex()), reinterpret_cast<LPARAM>(&item));
        InvalidateRect(window, nullptr, TRUE);
        return;
    }
    for (int i = static_cast<int>(SendMessageA(window, HDM_GETITEMCOUNT, 0, 0)); i-- > 0;)
        SendMessageA(window, HDM_DELETEITEM, static_cast<WPARAM>(i), 0);
    for (int i = 0; i < sections_->GetCount(); ++i) {
        HDITEMA item{};
        itemOf(sections_->GetItem(i), item);
        SendMessageA(window, HDM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    InvalidateRect(window, nullptr, TRUE);
}

void THeaderControl::SetHotTrack(bool value) {
    if (SetIfChanged(hotTrack_, value)) RecreateWnd();
}

void THeaderControl::SetFlat(bool value) {
    if (SetIfChanged(flat_, value)) RecreateWnd();
}

void THeaderControl::SectionClick(THeaderSection* Section) {
    if (OnSectionClick) OnSectionClick(this, Section);
}

void THeaderControl::SectionResize(THeaderSection* Section) {
    if (OnSectionResize) OnSectionResize(this, Section);
}

void THeaderControl::SectionTrack(THeaderSection* Section, int Width, TSectionTrackState State) {
    if (OnSectionTrack) OnSectionTrack(this, Section, Width, State);
}

void THeaderControl::DrawSection(THeaderSection* Section, const TRect& Rect, bool Pressed) {
    if (OnDrawSection) OnDrawSection(this, Section, Rect, Pressed);
    else GetCanvas()->FillRect(Rect);
}

void THeaderControl::notify(TMessage& Message) {
    // Only the item notifications carry NMHEADER; others (custom draw of an
    // owner-drawn header) have another layout behind the common NMHDR.
    UINT code = reinterpret_cast<NMHDR*>(Message.LParam)->code;
    if (!isHeaderItemCode(code)) return;
    auto* header = reinterpret_cast<NMHEADERA*>(Message.LParam);
    if (!sections_ || header->iItem < 0 || header->iItem >= sections_->GetCount()) return;
    THeaderSection* section = sections_->GetItem(header->iItem);
    // HDITEMA and HDITEMW agree up to the width.
    HDITEMA* item = header->pitem;
    bool hasWidth = item && (item->mask & HDI_WIDTH);
    if (isCode(code, HDN_ITEMCLICKA, HDN_ITEMCLICKW)) {
        if (section->allowClick_) SectionClick(section);
    } else if (isCode(code, HDN_BEGINTRACKA, HDN_BEGINTRACKW)) {
        if (!section->allowResize_) {
            Message.Result = TRUE;  // refuses the drag
            return;
        }
        tracking_ = true;
        SectionTrack(section, section->width_, tsTrackBegin);
    } else if (isCode(code, HDN_TRACKA, HDN_TRACKW)) {
        if (hasWidth) {
            item->cxy = std::max(section->minWidth_, std::min(item->cxy, section->maxWidth_));
            SectionTrack(section, item->cxy, tsTrackMove);
        }
    } else if (isCode(code, HDN_ENDTRACKA, HDN_ENDTRACKW)) {
        tracking_ = false;
        if (hasWidth) {
            item->cxy = std::max(section->minWidth_, std::min(item->cxy, section->maxWidth_));
            section->width_ = item->cxy;
        }
        SectionTrack(section, section->width_, tsTrackEnd);
        SectionResize(section);
    } else if (isCode(code, HDN_ITEMCHANGEDA, HDN_ITEMCHANGEDW)) {
        if (hasWidth && item->cxy != section->width_) {
            section->width_ = item->cxy;
            if (!tracking_) SectionResize(section);
        }
    }
}

void THeaderControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CN_NOTIFY:
        Message.Result = 0;
        notify(Message);
        return;
    case CN_DRAWITEM: {
        const auto& item = *reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        if (!sections_ || static_cast<int>(item.itemID) < 0 || static_cast<int>(item.itemID) >= sections_->GetCount()) return;
        TCanvas* canvas = GetCanvas();
        canvas->SetHandle(item.hDC);
        try {
            canvas->SetFont(GetFont());
            canvas->GetBrush()->SetColor(clBtnFace);
            canvas->GetBrush()->SetStyle(bsSolid);
            DrawSection(sections_->GetItem(static_cast<int>(item.itemID)), TRect(item.rcItem),
                        (item.itemState & ODS_SELECTED) != 0);
        } catch (...) {
            canvas->SetHandle(nullptr);
            throw;
        }
        canvas->SetHandle(nullptr);
        Message.Result = TRUE;
        return;
    }
    default:
        break;
    }
    TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TTreeNode

TTreeNode::~TTreeNode() {
    for (TTreeNode* child : children_) delete child;
}

TCustomTreeView* TTreeNode::GetTreeView() const { return owner_->owner_; }

TTreeNode* TTreeNode::getNextSibling() const {
    auto& siblings = owner_->siblingsOf(parent_);
    auto it = std::find(siblings.begin(), siblings.end(), this);
    return (it == siblings.end() || it + 1 == siblings.end()) ? nullptr : *(it + 1);
}

TTreeNode* TTreeNode::getPrevSibling() const {
    auto& siblings = owner_->siblingsOf(parent_);
    auto it = std::find(siblings.begin(), siblings.end(), this);
    return (it == siblings.end() || it == siblings.begin()) ? nullptr : *(it - 1);
}

TTreeNode* TTreeNode::GetNext() const {
    if (!children_.empty()) return children_.front();
    for (const TTreeNode* n = this; n; n = n->parent_)
        if (TTreeNode* next = n->getNextSibling()) return next;
    return nullptr;
}

TTreeNode* TTreeNode::GetNextVisible() const {
    if (!children_.empty() && GetExpanded()) return children_.front();
    for (const TTreeNode* n = this; n; n = n->parent_)
        if (TTreeNode* next = n->getNextSibling()) return next;
    return nullptr;
}

bool TTreeNode::IsVisible() const {
    for (TTreeNode* p = parent_; p; p = p->parent_)
        if (!p->GetExpanded()) return false;
    return true;
}

int TTreeNode::GetLevel() const {
    int level = 0;
    for (TTreeNode* p = parent_; p; p = p->parent_) ++level;
    return level;
}

TTreeNode* TTreeNode::GetItem(int Index) const {
    if (Index < 0 || Index >= GetCount()) TList::IndexError(Index);
    return children_[static_cast<size_t>(Index)];
}

int TTreeNode::GetIndex() const {
    auto& siblings = owner_->siblingsOf(parent_);
    return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

int TTreeNode::GetAbsoluteIndex() const {
    int index = 0;
    for (TTreeNode* n = owner_->GetFirstNode(); n && n != this; n = n->GetNext()) ++index;
    return index;
}

bool TTreeNode::GetExpanded() const {
    TCustomTreeView* tree = GetTreeView();
    if (item_ && tree->HandleAllocated())
        return (SendMessageA(tree->GetHandle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item_), TVIS_EXPANDED) &
                TVIS_EXPANDED) != 0;
    return expanded_;
}

void TTreeNode::SetExpanded(bool value) {
    if (value) Expand(false);
    else Collapse(false);
}

void TTreeNode::Expand(bool Recurse) {
    expanded_ = true;
    TCustomTreeView* tree = GetTreeView();
    if (item_ && tree->HandleAllocated())
        SendMessageA(tree->GetHandle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item_));
    if (Recurse)
        for (TTreeNode* child : children_) child->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
    expanded_ = false;
    TCustomTreeView* tree = GetTreeView();
    if (item_ && tree->HandleAllocated())
        SendMessageA(tree->GetHandle(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(item_));
    if (Recurse)
        for (TTreeNode* child : children_) child->Collapse(true);
}

void TTreeNode::MakeVisible() {
    for (TTreeNode* p = parent_; p; p = p->parent_) p->Expand(false);
    TCustomTreeView* tree = GetTreeView();
    if (item_ && tree->HandleAllocated())
        SendMessageA(tree->GetHandle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item_));
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
    TRect rect;
    TCustomTreeView* tree = GetTreeView();
    if (!item_ || !tree->HandleAllocated()) return rect;
    *reinterpret_cast<HTREEITEM*>(rect.rc()) = item_;
    if (!SendMessageA(tree->GetHandle(), TVM_GETITEMRECT, TextOnly, reinterpret_cast<LPARAM>(rect.rc())))
        return TRect();
    return rect;
}

void TTreeNode::DeleteChildren() {
    while (!children_.empty()) children_.back()->Delete();
}

void TTreeNode::Delete() {
    TCustomTreeView* tree = GetTreeView();
    tree->ForgetNode(this);
    if (item_ && tree->HandleAllocated()) {
        ++tree->selecting_;
        SendMessageA(tree->GetHandle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item_));
        --tree->selecting_;
    }
    auto& siblings = owner_->siblingsOf(parent_);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    delete this;
}

void TTreeNode::updateItem(UINT mask) {
    TCustomTreeView* tree = GetTreeView();
    if (!item_ || !tree->HandleAllocated()) return;
    TVITEMA item{};
    item.mask = mask | TVIF_HANDLE;
    item.hItem = item_;
    item.pszText = const_cast<char*>(text_.c_str());
    item.iImage = imageIndex_;
    item.iSelectedImage = selectedIndex_;
    SendMessageA(tree->GetHandle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void TTreeNode::SetText(const AnsiString& value) {
    text_ = value;
    updateItem(TVIF_TEXT);
}

void TTreeNode::SetImageIndex(int value) {
    imageIndex_ = value;
    updateItem(TVIF_IMAGE);
}

void TTreeNode::SetSelectedIndex(int value) {
    selectedIndex_ = value;
    updateItem(TVIF_SELECTEDIMAGE);
}

void TTreeNode::SetStateIndex(int value) {
    stateIndex_ = value;
    TCustomTreeView* tree = GetTreeView();
    if (!item_ || !tree->HandleAllocated()) return;
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_STATE;
    item.hItem = item_;
    item.stateMask = TVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(value < 0 ? 0 : value);
    SendMessageA(tree->GetHandle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

bool TTreeNode::GetSelected() const {
    auto& list = GetTreeView()->selection_.selection;
    return std::find(list.begin(), list.end(), this) != list.end();
}

void TTreeNode::SetSelected(bool value) {
    TCustomTreeView* tree = GetTreeView();
    if (value == GetSelected()) return;
    TTreeSelectionState<TTreeNode> state = tree->selection_;
    if (value) {
        state.selection.push_back(this);
        state.anchor = this;
    } else {
        state.selection.erase(std::remove(state.selection.begin(), state.selection.end(), this),
                              state.selection.end());
    }
    tree->setSelection(state, value ? this : tree->caret_);
}

bool TTreeNode::GetFocused() const { return GetTreeView()->caret_ == this; }

// ---------------------------------------------------------------------------
// TTreeNodes

TTreeNodes::~TTreeNodes() {
    for (TTreeNode* node : roots_) delete node;
}

void TTreeNodes::Clear() {
    owner_->selection_ = TTreeSelectionState<TTreeNode>();
    owner_->caret_ = nullptr;
    if (owner_->HandleAllocated()) {
        ++owner_->selecting_;
        SendMessageA(owner_->GetHandle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
        --owner_->selecting_;
    }
    std::vector<TTreeNode*> doomed;
    doomed.swap(roots_);
    for (TTreeNode* node : doomed) delete node;
}

TTreeNode* TTreeNodes::insertNode(TTreeNode* parent, int index, const AnsiString& text, void* data) {
    auto* node = new TTreeNode(this, parent);
    node->text_ = text;
    node->data_ = data;
    auto& siblings = siblingsOf(parent);
    index = std::max(0, std::min(index, static_cast<int>(siblings.size())));
    siblings.insert(siblings.begin() + index, node);
    if (owner_->HandleAllocated() && (!parent || parent->item_)) owner_->InsertItem(node);
    return node;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr) {
    TTreeNode* parent = Sibling ? Sibling->parent_ : nullptr;
    return insertNode(parent, static_cast<int>(siblingsOf(parent).size()), S, Ptr);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* Sibling, const AnsiString& S) {
    return insertNode(Sibling ? Sibling->parent_ : nullptr, 0, S, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const AnsiString& S, void* Ptr) {
    return insertNode(Parent, static_cast<int>(siblingsOf(Parent).size()), S, Ptr);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* Parent, const AnsiString& S) { return insertNode(Parent, 0, S, nullptr); }

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr) {
    if (!Sibling) return AddObject(nullptr, S, Ptr);
    return insertNode(Sibling->parent_, Sibling->GetIndex(), S, Ptr);
}

void TTreeNodes::BeginUpdate() {
    if (updateCount_++ == 0 && owner_->HandleAllocated()) SendMessageA(owner_->GetHandle(), WM_SETREDRAW, FALSE, 0);
}

void TTreeNodes::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0 && owner_->HandleAllocated()) {
        SendMessageA(owner_->GetHandle(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(owner_->GetHandle(), nullptr, TRUE);
    }
}

int TTreeNodes::GetCount() const {
    int count = 0;
    for (TTreeNode* n = GetFirstNode(); n; n = n->GetNext()) ++count;
    return count;
}

TTreeNode* TTreeNodes::GetNodeFromIndex(int Index) const {
    int i = 0;
    for (TTreeNode* n = GetFirstNode(); n; n = n->GetNext(), ++i)
        if (i == Index) return n;
    TList::IndexError(Index);
}

// ---------------------------------------------------------------------------
// TCustomTreeView

TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TWinControl(AOwner), items_(new TTreeNodes(this)), imageLink_(new TChangeLink) {
    imageLink_->OnChange = TNotifyEvent(this, &TCustomTreeView::imagesChanged);
    // Presses are handled here and not passed on, so the system sends no NM_CLICK:
    // OnClick comes from the release, OnDblClick from the double click.
    SetControlStyle(TControlStyle{csClickEvents, csDoubleClicks});
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
}

TCustomTreeView::~TCustomTreeView() {
    if (HandleAllocated()) DestroyHandle();
    delete items_;
    delete imageLink_;
}

void TCustomTreeView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.SystemClassName = WC_TREEVIEWA;
    Params.Style |= WS_TABSTOP;
    if (showLines_) Params.Style |= TVS_HASLINES;
    if (showButtons_) Params.Style |= TVS_HASBUTTONS;
    if (showRoot_) Params.Style |= TVS_LINESATROOT;
    if (!readOnly_) Params.Style |= TVS_EDITLABELS;
    if (!hideSelection_) Params.Style |= TVS_SHOWSELALWAYS;
    if (borderStyle_ == bsSingle) {
        if (GetCtl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    }
}

void TCustomTreeView::InsertItem(TTreeNode* Node) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = Node->parent_ ? Node->parent_->item_ : TVI_ROOT;
    TTreeNode* previous = Node->getPrevSibling();
    insert.hInsertAfter = previous && previous->item_ ? previous->item_ : TVI_FIRST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(Node->text_.c_str());
    insert.item.lParam = reinterpret_cast<LPARAM>(Node);
    insert.item.iImage = Node->imageIndex_;
    insert.item.iSelectedImage = Node->selectedIndex_;
    Node->item_ = reinterpret_cast<HTREEITEM>(
        SendMessageA(GetHandle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!Node->item_) throw EOutOfResources("Failed to insert a tree node");
    for (TTreeNode* child : Node->children_) InsertItem(child);
    if (Node->stateIndex_ >= 0) Node->SetStateIndex(Node->stateIndex_);
    if (Node->expanded_) SendMessageA(GetHandle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(Node->item_));
}

void TCustomTreeView::CreateWnd() {
    ++selecting_;
    try {
        TWinControl::CreateWnd();
    } catch (...) {
        --selecting_;
        throw;
    }
    --selecting_;
    if (images_) SendMessageA(handle_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_->GetHandle()));
    SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
    for (TTreeNode* node : items_->roots_) InsertItem(node);
    SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
    ShowSelection();
}

void TCustomTreeView::saveNodes() {
    // Keep what the window held: expansion.
    for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext()) {
        if (n->item_) n->expanded_ = n->GetExpanded();
        n->item_ = nullptr;
    }
}

void TCustomTreeView::DestroyWnd() {
    saveNodes();
    // The system's selection changes while its items go: none of them is the user's.
    ++selecting_;
    try {
        TWinControl::DestroyWnd();
    } catch (...) {
        --selecting_;
        throw;
    }
    --selecting_;
}

TTreeNode* TCustomTreeView::NodeFromItem(HTREEITEM Item) const {
    if (!Item || !HandleAllocated()) return nullptr;
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_PARAM;
    item.hItem = Item;
    if (!SendMessageA(handle_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<TTreeNode*>(item.lParam);
}

std::vector<TTreeNode*> TCustomTreeView::visibleNodes() const {
    std::vector<TTreeNode*> nodes;
    for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNextVisible()) nodes.push_back(n);
    return nodes;
}

void TCustomTreeView::ShowSelection() {
    if (!HandleAllocated()) return;
    ++selecting_;
    HWND window = GetHandle();
    if (caret_ && caret_->item_) SendMessageA(window, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(caret_->item_));
    for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext()) {
        if (!n->item_) continue;
        TVITEMA item{};
        item.mask = TVIF_HANDLE | TVIF_STATE;
        item.hItem = n->item_;
        item.stateMask = TVIS_SELECTED;
        item.state = n->GetSelected() ? TVIS_SELECTED : 0;
        SendMessageA(window, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    --selecting_;
}

void TCustomTreeView::setSelection(const TTreeSelectionState<TTreeNode>& state, TTreeNode* caret) {
    bool changed = state.selection != selection_.selection;
    selection_ = state;
    caret_ = caret;
    ShowSelection();
    if (changed) Change(caret);
}

void TCustomTreeView::Change(TTreeNode* Node) {
    if (isLoading(this)) return;
    if (OnChange) OnChange(this, Node);
}

void TCustomTreeView::Select(TTreeNode* Node, TShiftState Shift) {
    if (!Node) return;
    TTreeSelectionState<TTreeNode> state = selection_;
    ApplyTreeSelectionClick(state, Node, visibleNodes(), Shift.Contains(ssCtrl), Shift.Contains(ssShift));
    setSelection(state, Node);
}

void TCustomTreeView::ClearSelection() { setSelection(TTreeSelectionState<TTreeNode>(), caret_); }

void TCustomTreeView::SetSelected(TTreeNode* value) {
    TTreeSelectionState<TTreeNode> state;
    if (value) {
        state.selection.push_back(value);
        state.anchor = value;
    }
    setSelection(state, value);
}

TTreeNode* TCustomTreeView::GetSelection(int Index) const {
    if (Index < 0 || Index >= GetSelectionCount()) TList::IndexError(Index);
    return selection_.selection[static_cast<size_t>(Index)];
}

void TCustomTreeView::ForgetNode(TTreeNode* Node) {
    auto inside = [Node](TTreeNode* n) {
        for (; n; n = n->parent_)
            if (n == Node) return true;
        return false;
    };
    auto& list = selection_.selection;
    list.erase(std::remove_if(list.begin(), list.end(), inside), list.end());
    if (inside(selection_.anchor)) selection_.anchor = nullptr;
    if (inside(caret_)) caret_ = nullptr;
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) {
    TVHITTESTINFO hit{};
    hit.pt = POINT{X, Y};
    SendMessageA(GetHandle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (!(hit.flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON | TVHT_ONITEMRIGHT))) return nullptr;
    return NodeFromItem(hit.hItem);
}

TTreeNode* TCustomTreeView::GetTopItem() {
    if (!HandleAllocated()) return items_->GetFirstNode();
    return NodeFromItem(reinterpret_cast<HTREEITEM>(SendMessageA(handle_, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)));
}

void TCustomTreeView::FullExpand() {
    for (TTreeNode* node : items_->roots_) node->Expand(true);
}

void TCustomTreeView::FullCollapse() {
    for (TTreeNode* node : items_->roots_) node->Collapse(true);
}

void TCustomTreeView::SetItems(TTreeNodes* value) {
    if (value == items_) return;
    items_->Clear();
    std::function<void(TTreeNode*, TTreeNode*)> copy = [&](TTreeNode* parent, TTreeNode* source) {
        TTreeNode* node = items_->AddChildObject(parent, source->text_, source->data_);
        node->imageIndex_ = source->imageIndex_;
        node->selectedIndex_ = source->selectedIndex_;
        for (TTreeNode* child : source->children_) copy(node, child);
    };
    for (TTreeNode* root : value->roots_) copy(nullptr, root);
}

void TCustomTreeView::SetImages(TCustomImageList* value) {
    if (value == images_) return;
    if (images_) images_->UnRegisterChanges(imageLink_);
    images_ = value;
    if (value) {
        value->RegisterChanges(imageLink_);
        value->FreeNotification(this);
    }
    imagesChanged(value);
}

void TCustomTreeView::imagesChanged(TObject*) {
    if (!HandleAllocated()) return;
    HIMAGELIST list = images_ ? images_->GetHandle() : nullptr;
    SendMessageA(handle_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(list));
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_) {
        images_ = nullptr;
        imagesChanged(nullptr);
    }
}

#define BRIM_TREE_STYLE_SETTER(Name, field) \
    void TCustomTreeView::Set##Name(bool value) { \
        if (value == field) return;                \
        field = value;                             \
        RecreateWnd();                             \
    }
BRIM_TREE_STYLE_SETTER(ReadOnly, readOnly_)
BRIM_TREE_STYLE_SETTER(ShowLines, showLines_)
BRIM_TREE_STYLE_SETTER(ShowButtons, showButtons_)
BRIM_TREE_STYLE_SETTER(ShowRoot, showRoot_)
BRIM_TREE_STYLE_SETTER(HideSelection, hideSelection_)
#undef BRIM_TREE_STYLE_SETTER

void TCustomTreeView::SetBorderStyle(TBorderStyle value) {
    if (SetIfChanged(borderStyle_, value)) RecreateWnd();
}

bool TCustomTreeView::handlePress(TMessage& Message) {
    TVHITTESTINFO hit{};
    hit.pt = POINT{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    SendMessageA(handle_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    // Presses on the expand button or beside the item go to the system tree.
    if (!(hit.flags & TVHT_ONITEM)) return false;
    TTreeNode* node = NodeFromItem(hit.hItem);
    if (!node) return false;
    if (CanFocus()) {
        // Taking the focus with no caret makes the system select its first item: not a user choice.
        ++selecting_;
        ::SetFocus(handle_);
        --selecting_;
    }
    TShiftState shift;
    if (Message.WParam & MK_CONTROL) shift << ssCtrl;
    if (Message.WParam & MK_SHIFT) shift << ssShift;
    Select(node, shift);
    Message.Result = 0;
    return true;
}

void TCustomTreeView::notify(TMessage& Message) {
    auto* tree = reinterpret_cast<NMTREEVIEWA*>(Message.LParam);
    UINT code = tree->hdr.code;
    Message.Result = 0;
    if (isCode(code, TVN_SELCHANGEDA, TVN_SELCHANGEDW)) {
        if (selecting_ || GetComponentState().Contains(csDestroying)) return;
        // The system moved its caret (keyboard): that node becomes the selection.
        TTreeNode* node = reinterpret_cast<TTreeNode*>(tree->itemNew.lParam);
        if (!node) return;
        TShiftState shift;
        if (GetKeyState(VK_SHIFT) < 0) shift << ssShift;
        Select(node, shift);
    } else if (isCode(code, TVN_ITEMEXPANDEDA, TVN_ITEMEXPANDEDW)) {
        TTreeNode* node = reinterpret_cast<TTreeNode*>(tree->itemNew.lParam);
        if (!node) return;
        node->expanded_ = tree->action == TVE_EXPAND;
        if (node->expanded_ && OnExpanded) OnExpanded(this, node);
        if (!node->expanded_ && OnCollapsed) OnCollapsed(this, node);
    } else if (isCode(code, TVN_BEGINLABELEDITA, TVN_BEGINLABELEDITW)) {
        Message.Result = readOnly_ ? TRUE : FALSE;
    }
}

void TCustomTreeView::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_CTL3DCHANGED:
        // The border is a client edge with Ctl3D, else a plain line: only a new window shows the change.
        if (borderStyle_ == bsSingle) RecreateWnd();
        break;
    case WM_LBUTTONDOWN:
        if (HandleAllocated() && handlePress(Message)) return;
        break;
    case CN_NOTIFY:
        notify(Message);
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_DESTROY:
        // Destroyed from outside (not through DestroyWnd): keep the nodes' state all the same.
        ++selecting_;
        saveNodes();
        TWinControl::Dispatch(Message);
        --selecting_;
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TAnimate

namespace {

// A little-endian 32-bit value of an AVI header.
uint32_t aviDword(const AnsiString& data, size_t at) {
    if (at + 4 > data.size()) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(data.data() + at);
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

TAnimate::TAnimate(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(TControlStyle{csReplicatable});
    SetBounds(0, 0, 100, 80);
    SetParentColor(true);
}

void TAnimate::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.SystemClassName = ANIMATE_CLASSA;
    if (center_) Params.Style |= ACS_CENTER;
    if (transparent_) Params.Style |= ACS_TRANSPARENT;
}

void TAnimate::CreateWnd() {
    TWinControl::CreateWnd();
    if (resId_ || !fileName_.empty()) openClip();
}

void TAnimate::readHeader(const AnsiString& avi) {
    frameCount_ = frameWidth_ = frameHeight_ = 0;
    size_t header = avi.find("avih");
    if (header == AnsiString::npos) return;
    size_t data = header + 8;  // the chunk's id and size
    frameCount_ = static_cast<int>(aviDword(avi, data + 16));
    frameWidth_ = static_cast<int>(aviDword(avi, data + 32));
    frameHeight_ = static_cast<int>(aviDword(avi, data + 36));
}

void TAnimate::openClip() {
    bool wasActive = active_;
    if (active_) Stop();
    if (open_ && HandleAllocated()) {
        SendMessageA(GetHandle(), ACM_OPENA, 0, 0);
        open_ = false;
        if (OnClose) OnClose(this);
    }
    frameCount_ = frameWidth_ = frameHeight_ = 0;
    if (!resId_ && fileName_.empty()) return;
    // The header gives the frame count and size; the control itself plays the clip.
    AnsiString clip;
    HINSTANCE instance = resHandle_ ? resHandle_ : GetModuleHandleA(nullptr);
    if (resId_) {
        try {
            TResourceStream stream(instance, resId_, "AVI");
            clip.assign(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.GetSize()));
        } catch (const EResNotFound&) {
            throw EInvalidOperation("Cannot open AVI");
        }
    } else {
        TFileStream stream(fileName_, fmOpenRead | fmShareDenyWrite);
        clip.resize(static_cast<size_t>(std::min<int64_t>(stream.GetSize(), 4096)));
        stream.ReadBuffer(&clip[0], static_cast<int>(clip.size()));
    }
    readHeader(clip);
    if (!HandleAllocated()) return;
    LPARAM name = resId_ ? reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(resId_)) : reinterpret_cast<LPARAM>(fileName_.c_str());
    if (!SendMessageA(GetHandle(), ACM_OPENA, reinterpret_cast<WPARAM>(instance), name))
        throw EInvalidOperation("Cannot open AVI");
    open_ = true;
    if (OnOpen) OnOpen(this);
    if (wasActive) SetActive(true);
}

void TAnimate::SetResId(int value) {
    resId_ = value;
    fileName_.clear();
    if (HandleAllocated() || value) openClip();
}

void TAnimate::SetFileName(const AnsiString& value) {
    fileName_ = value;
    resId_ = 0;
    if (HandleAllocated() || !value.empty()) openClip();
}

void TAnimate::Play(int FromFrame, int ToFrame, int Count) {
    if (!open_) openClip();
    if (!open_) throw EInvalidOperation("Cannot open AVI");
    int last = ToFrame > 0 ? ToFrame : frameCount_;
    SendMessageA(GetHandle(), ACM_PLAY, static_cast<WPARAM>(Count > 0 ? Count : -1),
                 MAKELPARAM(static_cast<WORD>(std::max(0, FromFrame - 1)), static_cast<WORD>(std::max(0, last - 1))));
    active_ = true;
}

void TAnimate::Stop() {
    if (HandleAllocated()) SendMessageA(GetHandle(), ACM_STOP, 0, 0);
    active_ = false;
}

void TAnimate::Seek(int Frame) {
    if (!open_) openClip();
    if (!open_) return;
    SendMessageA(GetHandle(), ACM_PLAY, 1, MAKELPARAM(static_cast<WORD>(Frame - 1), static_cast<WORD>(Frame - 1)));
    active_ = false;
}

void TAnimate::Reset() {
    Stop();
    Seek(startFrame_);
}

void TAnimate::SetActive(bool value) {
    if (value) Play(startFrame_, stopFrame_, repetitions_);
    else Stop();
}

void TAnimate::SetCenter(bool value) {
    if (!SetIfChanged(center_, value)) return;
    open_ = false;
    RecreateWnd();
}

void TAnimate::SetTransparent(bool value) {
    if (!SetIfChanged(transparent_, value)) return;
    open_ = false;
    RecreateWnd();
}

void TAnimate::Dispatch(TMessage& Message) {
    if (Message.Msg == CN_COMMAND) {
        switch (HIWORD(Message.WParam)) {
        case ACN_START:
            if (OnStart) OnStart(this);
            break;
        case ACN_STOP:
            active_ = false;
            if (OnStop) OnStop(this);
            break;
        default:
            break;
        }
        return;
    }
    TWinControl::Dispatch(Message);
}
