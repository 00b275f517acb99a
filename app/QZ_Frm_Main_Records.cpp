/*
 * The main window's records side: the category box, the record list with its
 * owner-drawn header (sorting, column widths), the editor rows of the selected
 * entry, the empty-category help panel, and the entry commands (new, edit,
 * delete, search) with their dialogs reached through MainWindowDialogs.
 *
 * Tricky points:
 * - The list's columns are the headers shown in the list (show 0); a section
 *   index is a visible-column index and must be turned into a header index
 *   before it touches the data model, and back for the list's cells.
 * - The list is filled by walking the rows in order, with its redraw off and
 *   its storage reserved: fetching rows by position or redrawing per line is
 *   quadratic or slow for a vault of many thousand entries.
 * - Deleting removes exactly the selected lines, from the last one up; the
 *   caret line of an extended selection need not be selected.
 * - A column edge dragged repaints the whole list while it moves and when it
 *   is let go: the lines are drawn from the sections' widths.
 * - Sorting and editing keep the selected entries selected and in view: a
 *   sort moves them to other lines (found again by row id), and rewriting a
 *   line's cells drops its selection.
 * - Typing in the category box chooses nothing: categories change by the
 *   box's list, its arrow keys and Ctrl+Up/Down only.
 * - A list index of -1 is no row, everywhere.
 * - CompChange runs inside the edit's own change; what it does to the list
 *   and the form (even removing the entry) must leave the edit usable.
 */
#include "app/QZ_Frm_Main.h"

#include "app/RecordListDrawing.h"
#include "app/componentList.h"
#include "base/ProductNames.h"
#include "components/controls/QCLListBox.h"
#include "components/runtime/qclcont.h"
#include "dialogs/TipSettings.h"
#include "skin/KTransButton.h"
#include "skin/Tranimag.h"
#include "skin/ZM_MessageBox.h"
#include "skin/art/ButtonPictureList.h"
#include "vault/logger.h"

#include <algorithm>

namespace {

const char* const NoNewInEncryptedFiles =
    "You cannot add new entries directly to this category.  You must either drag a file into Brimsafe, or add an "
    "encrypted file type to another category.";
const char* const DeleteQuestion = "Are you sure that you would like to delete this entry?";
const char* const SelectFirst = "You must first select the entry that you would like to delete.";
const char* const EntryEmptied =
    "You have removed all data from this entry.  It will now be removed from your vault.";
const char* const EmptyEntryNotRemoved =
    "There was a problem removing the empty entry.  Try selecting it in the list on the left, and click the Delete "
    "Entry button.";
// Fields never hold a control character, so the list's cells cannot shift.
constexpr char ListDelimiter = '\x01';

// The row of the previous change in the editor panel.
const componentList* lastChangedRow = nullptr;

// The header index of the n-th header shown in the list, -1 when there is none.
int headerOfVisibleColumn(const category& cat, int column) {
    int index = 0;
    for (const header* h = cat.headerList(); h; h = h->next, ++index)
        if (h->show == hsShown && column-- == 0) return index;
    return -1;
}

// The list column of a header, -1 when it is not shown in the list.
int visibleColumnOfHeader(const category& cat, int headerIndex) {
    int column = 0, index = 0;
    for (const header* h = cat.headerList(); h; h = h->next, ++index) {
        if (index == headerIndex) return h->show == hsShown ? column : -1;
        if (h->show == hsShown) ++column;
    }
    return -1;
}

// The line of the row with that id, -1 when there is none.
int lineOfRowId(const category& cat, int id) {
    int line = 0;
    for (const row* r = cat.firstRow(); r; r = r->next, ++line)
        if (r->getId() == id) return line;
    return -1;
}

}  // namespace

// The list's scrolled width for columns ending at right: never narrower than the list itself, whose
// uncovered part would stay unpainted.
int TFormMain::listWidthFor(int right) { return std::max(right, QCLListBox2->GetClientWidth()); }

// ---- building ----

void TFormMain::buildRecordsSide() { buildRecordsSide(Panel2, ScrollBoxInfoPanel, Panel1); }

void TFormMain::buildRecordsSide(TWinControl* leftPanel, TScrollingWinControl* editorScroll,
                                 TWinControl* editorPanel) {
    RecordsLeftPanel = leftPanel;
    EditorScroll = editorScroll;
    EditorPanel = editorPanel;

    if (!QCLBitmapList1) {
        QCLBitmapList1 = new TQCLBitmapList(this);
        skinart::LoadButtonPictures(QCLBitmapList1);
    }

    const int width = leftPanel->Width;
    ComboBox1 = new TComboBox(this);
    ComboBox1->Parent = leftPanel;
    ComboBox1->SetStyle(csDropDownList);
    ComboBox1->SetDropDownCount(16);
    ComboBox1->SetBounds(4, 4, width - 8, 21);
    ComboBox1->SetAnchors(TAnchors{akLeft, akTop, akRight});
    ComboBox1->OnChange = TNotifyEvent(this, &TFormMain::ComboBox1Change);
    ComboBox1->OnDblClick = TNotifyEvent(this, &TFormMain::ComboBox1DblClick);
    ComboBox1->OnKeyPress = TKeyPressEvent(this, &TFormMain::ComboBox1KeyPress);

    QCLListBox2 = new TQCLListBox(this);
    QCLListBox2->Parent = leftPanel;
    QCLListBox2->SetBounds(4, 32, width - 8, leftPanel->Height - 36);
    QCLListBox2->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
    QCLListBox2->Delimiter = ListDelimiter;
    QCLListBox2->SetInteger(0, 20);     // header height
    QCLListBox2->SetBool(3, true);      // several lines may be selected
    QCLListBox2->SetBool(1, true);      // by Shift and Ctrl
    QCLListBox2->GridLines = glNone;
    QCLListBox2->SetListBoxStyle(lbOwnerDrawFixed);
    QCLListBox2->OnDrawItem = TDrawItemEvent(this, &TFormMain::QCLListBox2DrawItem);
    QCLListBox2->OnResize = TNotifyEvent(this, &TFormMain::QCLListBox2Resize);
    // The header paints the part of the bar right of the last heading in the window colour: it is
    // painted over in the headings' colour within the same paint.
    TWinControl* header = QCLListBox2->Header();
    headerProc_ = header->WindowProc;
    header->WindowProc = [this, header](TMessage& Message) {
        if (Message.Msg != WM_PAINT) {
            headerProc_(Message);
            return;
        }
        PAINTSTRUCT paint{};
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        const bool ownPaint = dc == nullptr;
        if (ownPaint) dc = BeginPaint(header->GetHandle(), &paint);
        Message.WParam = reinterpret_cast<WPARAM>(dc);
        headerProc_(Message);
        paintHeaderRest(dc);
        if (ownPaint) EndPaint(header->GetHandle(), &paint);
    };
    QCLListBox2->GetHeaderSections()->Clear();
    QCLListBox2->Header()->OnSectionClick = TSectionNotifyEvent(this, &TFormMain::QCLListBox2HeaderSectionClick);
    QCLListBox2->Header()->OnDrawSection = TDrawSectionEvent(this, &TFormMain::QCLListBox2HeaderDrawSection);
    // Through the list's own resize handler, which repaints the lines at the new column positions
    // before passing the resize on; set on the header it would replace that handler.
    QCLListBox2->OnHeaderSectionResize = TSectionNotifyEvent(this, &TFormMain::QCLListBox2HeaderSectionResize);
    QCLListBox2->Header()->OnSectionTrack = TSectionTrackEvent(this, &TFormMain::QCLListBox2HeaderSectionTrack);
    // The list hands its own click events to the inner list when its loading bracket closes (Loaded),
    // which comes after this: set on the inner list alone they would be replaced by empty ones there.
    QCLListBox2->OnClick = TNotifyEvent(this, &TFormMain::QCLListBox2Click);
    QCLListBox2->OnDblClick = TNotifyEvent(this, &TFormMain::QCLListBox2DblClick);
    QCLListBox2->InnerList()->OnClick = QCLListBox2->OnClick;
    QCLListBox2->InnerList()->OnDblClick = QCLListBox2->OnDblClick;

    // The empty-category help stands where the editor rows would.
    TWinControl* rightParent = editorScroll->GetParent();
    Panel5 = new TPanel(this);
    Panel5->Parent = rightParent ? rightParent : this;
    Panel5->SetBevelOuter(bvNone);
    Panel5->SetBounds(editorScroll->Left, editorScroll->Top, editorScroll->Width, editorScroll->Height);
    Panel5->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
    Panel5->SetAlign(editorScroll->GetAlign());
    Panel5->Color = editorPanel->GetColor();
    Panel5->Visible = false;
    auto label = [this](int top, int height, const char* text, bool bold) {
        auto* l = new TLabel(this);
        l->Parent = Panel5;
        l->SetAutoSize(false);
        l->SetWordWrap(true);
        l->SetBounds(12, top, Panel5->Width - 24, height);
        l->Caption = text;
        if (bold) l->GetFont()->SetStyle(TFontStyles{fsBold});
        return l;
    };
    HelpLabels.push_back(label(12, 18, "Empty Category", true));
    Label1 = label(36, 16, "", false);
    Label5 = label(52, 16, "has no information stored in it.", false);
    HelpLabels.push_back(label(84, 18, "How to Add New Entries", true));
    HelpLabels.push_back(label(104, 48,
                               "Click the New Entry button, or press Insert, and fill in the fields of the entry. "
                               "The entry is saved in your vault as soon as you click OK.",
                               false));
    HelpLabels.push_back(label(164, 18, "How to Add or Edit Categories", true));
    HelpLabels.push_back(label(184, 64,
                               "Choose \"Add/Edit Categories...\" in the list of categories above the entry list, "
                               "or press Ctrl+E. Each category has its own fields, shown as columns of the entry "
                               "list.",
                               false));

    if (Label4) {
        Label4->OnMouseEnter = TNotifyEvent(this, &TFormMain::Label4MouseEnter);
        Label4->OnMouseLeave = TNotifyEvent(this, &TFormMain::Label4MouseLeave);
        Label4->OnClick = TNotifyEvent(this, &TFormMain::Label4Click);
        Label4->SetCursor(crHandPoint);
    }
}

// ---- categories ----

void TFormMain::addCategory(const std::string& name) {
    store_.content().addCategory(name);
    ++CategoryCount;
}

void TFormMain::addHeader(const std::string& name, int type, int width, int show) {
    if (category* cat = store_.content().current) cat->addHeader(name, type, show, width);
}

void TFormMain::addRow(const RowValues& values, bool showInList) {
    category* cat = store_.content().current;
    if (!cat) return;
    traceLog.write("add row to cat");
    const int before = cat->rowCount();
    cat->insertRow(values);
    if (cat->rowCount() == before || !showInList || !QCLListBox2) return;
    traceLog.write("Deselecting rows in list box");
    if (QCLListBox2->InnerList()->HandleAllocated())
        SendMessageA(QCLListBox2->InnerList()->Handle, LB_SETSEL, FALSE, -1);
    traceLog.write("get shown row");
    std::optional<RowValues> shown = cat->visibleRowItems(cat->rowCount() - 1);
    traceLog.write("show it in listbox");
    if (shown) QCLListBox2->AddLine(*shown);
}

void TFormMain::fillCategoryBox() {
    EditNotePending = true;
    if (!ComboBox1) return;
    TStrings* items = ComboBox1->GetItems();
    items->Clear();
    items->Add("Add/Edit Categories...");
    items->Add("Encrypted Files");
    const VaultContent& content = store_.content();
    // Without a user category there is nothing to add to or delete from.
    for (TControl* cover : {static_cast<TControl*>(TranImageNewInactive), static_cast<TControl*>(TranImageDeleteInactive)})
        if (cover) cover->Visible = !content.userCategories;
    if (!content.userCategories) return;
    for (const category* c = content.userCategories; c; c = c->next) items->Add(c->getName().c_str());
    const int index = content.currCat;
    ComboBox1->SetItemIndex(index >= 0 && index < items->GetCount() ? index : -1);
}

void TFormMain::ComboBox1Change(TObject*) {
    VaultContent& content = store_.content();
    const int k = ComboBox1->GetItemIndex();
    if (k < 0) return;
    if (k == 0) {
        editCategories();
        return;
    }
    if (k == 1) {
        if (!content.encryptedFiles) return;
        content.current = content.encryptedFiles;
        content.currCat = 1;
        showFileButtons(true);
        files_.showEncryptedFiles();
    } else {
        category* c = content.userCategories;
        for (int i = 2; c && i < k; ++i) c = c->next;
        if (!c) return;
        showFileButtons(false);
        content.current = c;
        content.currCat = k;
    }
    if (QCLListBox2->GetItems()->GetCount() > 0) QCLListBox2->SetInteger(1, 0);
    populateForm(false, false);
}

void TFormMain::ComboBox1DblClick(TObject*) { editCategories(); }

// Categories are chosen from the box's list, or by Ctrl+Up and Ctrl+Down; a typed letter chooses
// nothing (it would open the category editor with "a" of "Add/Edit Categories...").
void TFormMain::ComboBox1KeyPress(TObject*, char& Key) { Key = 0; }

void TFormMain::showFileButtons(bool show) {
    for (TControl* c : {static_cast<TControl*>(KTransNewFileButton), static_cast<TControl*>(KTransRemoveFileButton),
                        static_cast<TControl*>(LabelNewFile), static_cast<TControl*>(LabelRemoveFile)})
        if (c) c->Visible = show;
}

void TFormMain::moveCategorySelection(int delta) {
    if (!ComboBox1) return;
    const int k = ComboBox1->GetItemIndex();
    if (k < 1) return;
    const int target = k + (delta < 0 ? -1 : 1);
    if (target < 0 || target >= ComboBox1->GetItems()->GetCount()) return;
    ComboBox1->SetItemIndex(target);
    ComboBox1Change(ComboBox1);
}

void TFormMain::editCategories() {
    VaultContent& content = store_.content();
    category* head = content.userCategories;
    int selected = -1;
    dialogs_.editCategories(this, content.current, head, selected);
    content.userCategories = head;
    content.chainEdited();

    category* chosen = nullptr;
    int position = 0;
    if (selected >= 0) {
        chosen = head;
        for (int i = 0; chosen && i < selected; ++i) chosen = chosen->next;
        position = selected;
    }
    if (chosen) {
        content.current = chosen;
        content.currCat = position + 2;
        showFileButtons(false);
    } else if (!content.current || content.current != content.encryptedFiles) {
        // The current category stays only when the dialog left it in the chain.
        int at = 0;
        category* c = head;
        for (; c && c != content.current; c = c->next) ++at;
        if (c) {
            content.currCat = at + 2;
        } else {
            content.current = head;
            content.currCat = 2;
        }
    }
    fillCategoryBox();
    populateForm(false, false);
    flows_.saveVault();
}

// ---- the form ----

void TFormMain::EditorChainDeleter::operator()(componentList* head) const { delete head; }

void TFormMain::growEditorPool(int n) {
    if (n <= 0) return;
    if (!EditorList) {
        EditorListOwner.reset(new componentList(QCLBitmapList1));
        EditorList = EditorListOwner.get();
        --n;
        ++EditorPoolSize;
    }
    componentList* tail = EditorList;
    while (tail->next) tail = tail->next;
    for (int i = 0; i < n; ++i) {
        tail->next = new componentList(QCLBitmapList1);
        tail = tail->next;
    }
    EditorPoolSize += n;
}

void TFormMain::populateForm(bool keepSelection, bool rebuildColumns) {
    if (!QCLListBox2) return;
    VaultContent& content = store_.content();
    category* cat = content.current;
    const bool encrypted = cat && cat == content.encryptedFiles;
    const int listIndex = QCLListBox2->GetInteger(1);
    int line = keepSelection ? listIndex : (cat && cat->rowCount() > 0 ? 0 : -1);
    const bool rebuildSections = !keepSelection || rebuildColumns;

    QCLListBox2->Visible = !encrypted;
    // Emptied first: resizing a list that still holds every line costs as much as filling it.
    if (!encrypted) QCLListBox2->Clear();
    if (rebuildSections) QCLListBox2->GetHeaderSections()->Clear();
    for (componentList* r = EditorList; r; r = r->next) r->hideAll();
    lastChangedRow = nullptr;
    if (encrypted) {
        Panel5->Visible = false;
        EditorScroll->Visible = false;
        files_.showEncryptedFiles();
        return;
    }
    if (!cat) return;

    HeaderCount = cat->headerCount();
    ColumnCount = cat->visibleHeaderCount();
    if (HeaderCount > EditorPoolSize) growEditorPool(HeaderCount - EditorPoolSize);

    const bool hasRows = cat->rowCount() > 0;
    if (hasRows) {
        Panel5->Visible = false;
        EditorScroll->Visible = true;
    } else {
        Label1->Caption = ("The category \"" + cat->getName() + "\" currently").c_str();
        for (TControl* l : {static_cast<TControl*>(Label1), static_cast<TControl*>(Label5)})
            l->SetBounds(l->Left, l->Top, Panel5->Width - 24, l->Height);
        for (TLabel* l : HelpLabels) l->SetBounds(l->Left, l->Top, Panel5->Width - 24, l->Height);
        EditorScroll->Visible = false;
        Panel5->Visible = true;
    }

    // Sections and editor rows, header by header.
    const int W = EditorPanel->Width;
    int slot = 0;
    EditorPanelHeight = 0;
    componentList* editorRow = EditorList;
    int h = 0;
    int sectionsRight = 0;
    for (const header* hd = cat->headerList(); hd && editorRow; hd = hd->next, editorRow = editorRow->next, ++h) {
        if (rebuildSections && hd->show == hsShown) {
            THeaderSection* section = QCLListBox2->GetHeaderSections()->Add();
            section->SetText(hd->name.c_str());
            section->SetWidth(hd->width);
            section->SetStyle(hsOwnerDraw);
            sectionsRight = section->GetRight();
        }
        editorRow->setCaption(48 * slot + 45, hd->name, EditorPanel);
        if (!hasRows) continue;
        if (hd->type == htOneLine) {
            editorRow->setKind(0);
            editorRow->showEdit(48 * slot + 60, W - 46, TNotifyEvent(this, &TFormMain::CompChange), this, EditorPanel,
                                h, hd->show == hsSecret && content.hidePwords);
            editorRow->showButton(true, W - 34, TNotifyEvent(this, &TFormMain::CompMouseRelease), this, EditorPanel,
                                  abCopy, 32, 32, 48 * slot + 55);
            editorRow->showEmptyImage(32, 32, EditorPanel, 3, 48 * slot + 55, W - 34);
            EditorPanelHeight = 48 * slot + 89;
            slot += 1;
        } else {
            editorRow->setKind(1);
            editorRow->showMemo(48 * slot + 60, W - 46, TNotifyEvent(this, &TFormMain::CompChange), this, EditorPanel,
                                h);
            editorRow->showButton(true, W - 34, TNotifyEvent(this, &TFormMain::CompMouseRelease), this, EditorPanel,
                                  abCopy, 32, 32, 48 * slot + 76);
            editorRow->showEmptyImage(32, 32, EditorPanel, 3, 48 * slot + 76, W - 34);
            EditorPanelHeight = 48 * slot + 132;
            slot += 2;
        }
    }
    // The scroll range widened to the last section at once: every change of it shows or hides the
    // list's scroll bar, which costs a frame change of the window each time.
    if (rebuildSections) QCLListBox2->VirtualWidth = listWidthFor(sectionsRight);
    EditorPanel->SetBounds(EditorPanel->Left, EditorPanel->Top, EditorPanel->Width,
                           std::max(EditorPanelHeight, EditorScroll->GetClientHeight()));
    EditorScroll->GetVertScrollBar()->SetRange(EditorPanelHeight);

    // The lines, walking the rows in order.
    if (HeaderCount != 0 && hasRows) {
        std::vector<bool> shown;
        for (const header* hd = cat->headerList(); hd; hd = hd->next) shown.push_back(hd->show == hsShown);
        QCLListBox2->BeginBulkAdd(cat->rowCount());
        RowValues values;
        values.reserve(static_cast<std::size_t>(ColumnCount));
        for (const row* r = cat->firstRow(); r; r = r->next) {
            values.clear();
            std::size_t column = 0;
            for (const item* it = r->firstItem(); it && column < shown.size(); it = it->next, ++column)
                if (shown[column]) values.push_back(it->value);
            QCLListBox2->AddLine(values);
        }
        QCLListBox2->EndBulkAdd();
    }

    const int count = QCLListBox2->GetItems()->GetCount();
    if (!keepSelection && count > 0 && QCLListBox2->GetInteger(3) == 0) line = 0;
    if (line >= 0 && line < count) {
        QCLListBox2->SetInteger(1, line);
        loadEditorRows(line);
        QCLListBox2->Selected[line] = true;
    }
}

void TFormMain::loadEditorRows(int line) {
    category* cat = store_.content().current;
    if (!cat || cat == store_.content().encryptedFiles) return;
    std::optional<RowValues> values = cat->rowItems(line);
    if (!values) return;
    componentList* r = EditorList;
    for (std::size_t i = 0; r && i < values->size() && static_cast<int>(i) < HeaderCount; ++i, r = r->next) {
        if (r->getKind() == 0)
            r->setValue((*values)[i]);
        else
            r->setMemoText((*values)[i]);
    }
    lastChangedRow = nullptr;
}

void TFormMain::QCLListBox2Click(TObject*) {
    EditNotePending = true;
    if (flows_.Modified) flows_.saveVault();
    loadEditorRows(QCLListBox2->GetInteger(1));
}

// ---- entries ----

void TFormMain::selectOnly(int line) {
    TListBox* list = QCLListBox2->InnerList();
    if (list->HandleAllocated()) {
        SendMessageA(list->Handle, LB_SETSEL, FALSE, -1);
    } else {
        for (int i = 0; i < QCLListBox2->GetItems()->GetCount(); ++i) QCLListBox2->Selected[i] = false;
    }
    if (line < 0 || line >= QCLListBox2->GetItems()->GetCount()) return;
    QCLListBox2->SetInteger(1, line);
    QCLListBox2->Selected[line] = true;
    showLine(line);
    loadEditorRows(line);
}

void TFormMain::KTransNewButtonMouseRelease(TObject*) {
    traceLog.write("New entry...");
    VaultContent& content = store_.content();
    category* cat = content.current;
    if (cat && cat == content.encryptedFiles) {
        ShowMessageBox(this, NoNewInEncryptedFiles, product::Title, mbsOk, mbiCaution);
        return;
    }
    if (!cat) return;
    traceLog.write("there is a curr cat, making newRow");
    traceLog.write("Num headers: " + std::to_string(HeaderCount));
    traceLog.write("getting headers");
    traceLog.write("setting form values");
    RowValues values(static_cast<std::size_t>(cat->headerCount()));
    traceLog.write("Now, show it");
    if (dialogs_.editEntry(this, true, *cat, values) != 1) return;

    traceLog.write("Adding item to category");
    const bool wasEmpty = Panel5->Visible;
    const bool sorted = cat->getSortColumn() >= 0;
    const int before = cat->rowCount();
    addRow(values, true);
    const bool inserted = cat->rowCount() != before;
    if (wasEmpty || sorted) {
        traceLog.write("populating form");
        populateForm(false, false);
    }
    traceLog.write("set item index and selected in QCLListBox2");
    int line = QCLListBox2->GetItems()->GetCount() - 1;
    if (sorted && inserted) {
        // The new row stands in its sorted place, found by the id it was given.
        const int id = cat->getNextRowId() - 1;
        int position = 0;
        for (const row* r = cat->firstRow(); r; r = r->next, ++position)
            if (r->getId() == id) {
                line = position;
                break;
            }
    }
    selectOnly(line);
    traceLog.write("Saving vault");
    flows_.saveVault();
    if (cat->rowCount() > 1) dialogs_.tip(this, tips::SortByHeading.id, tips::SortByHeading.text);
}

void TFormMain::QCLListBox2DblClick(TObject*) {
    VaultContent& content = store_.content();
    category* cat = content.current;
    if (!cat || cat == content.encryptedFiles) return;
    const int line = QCLListBox2->GetInteger(1);
    std::optional<RowValues> values = cat->rowItems(line);
    if (!values) return;
    if (dialogs_.editEntry(this, false, *cat, *values) != 1) return;
    for (int i = 0; i < cat->headerCount() && i < static_cast<int>(values->size()); ++i) {
        cat->setItemText((*values)[i], line, i);
        const int column = visibleColumnOfHeader(*cat, i);
        if (column >= 0) QCLListBox2->SetItemPart(line, column, (*values)[i].c_str());
    }
    // Rewriting a line's cells replaces the line, which drops its selection.
    QCLListBox2->Selected[line] = true;
    showLine(line);
    loadEditorRows(line);
    // Saved by the next save like an edit in the panel, not only at exit.
    flows_.Modified = true;
}

void TFormMain::deleteSelectedLines() {
    category* cat = store_.content().current;
    if (!cat) return;
    for (int line = QCLListBox2->GetItems()->GetCount() - 1; line >= 0; --line)
        if (QCLListBox2->Selected[line]) cat->deleteRow(line);
}

void TFormMain::KTransDeleteButtonMouseRelease(TObject*) {
    VaultContent& content = store_.content();
    category* cat = content.current;
    if (!cat) return;
    if (cat == content.encryptedFiles) {
        files_.removeSelectedFiles();
        return;
    }
    if (QCLListBox2->GetInteger(3) > 0) {
        if (ShowMessageBox(this, DeleteQuestion, product::Title, mbsYesNo, mbiQuestion) != mbrYes) return;
        deleteSelectedLines();
    } else {
        ShowMessageBox(this, SelectFirst, product::Title, mbsOk, mbiInformation);
    }
    populateForm(false, false);
    flows_.saveVault();
}

void TFormMain::showLine(int line) {
    TListBox* list = QCLListBox2->InnerList();
    if (line < 0 || !list->HandleAllocated()) return;
    // The caret line of a list of several selections; moving it scrolls the line into view.
    SendMessageA(list->Handle, LB_SETCARETINDEX, static_cast<WPARAM>(line), FALSE);
}

bool TFormMain::recordListFocused() {
    return QCLListBox2 && QCLListBox2->Visible && QCLListBox2->InnerList()->HandleAllocated() &&
           GetFocus() == QCLListBox2->InnerList()->Handle;
}

void TFormMain::KTransSearchButtonMouseRelease(TObject*) {
    VaultContent& content = store_.content();
    category* found = nullptr;
    int foundRow = -1;
    if (!dialogs_.search(this, content.userCategories, content.encryptedFiles, content.hidePwords, found, foundRow) ||
        !found)
        return;
    if (found == content.encryptedFiles) {
        content.current = found;
        content.currCat = 1;
        showFileButtons(true);
    } else {
        int position = 0;
        category* c = content.userCategories;
        for (; c && c != found; c = c->next) ++position;
        if (!c) return;
        content.current = found;
        content.currCat = position + 2;
        showFileButtons(false);
    }
    fillCategoryBox();
    populateForm(false, false);
    if (found == content.encryptedFiles)
        files_.selectFileRow(found->rowIdAt(foundRow));
    else
        selectOnly(foundRow);
}

void TFormMain::KTransHelpButtonMouseRelease(TObject*) { dialogs_.help(this); }

// ---- header ----

void TFormMain::QCLListBox2HeaderSectionClick(THeaderControl*, THeaderSection* Section) {
    category* cat = store_.content().current;
    if (!cat || !Section) return;
    const int h = headerOfVisibleColumn(*cat, Section->GetIndex());
    if (h < 0) return;
    // The selected entries, by row id: the sort moves them to other lines.
    std::vector<int> selectedIds;
    for (int line = 0; line < QCLListBox2->GetItems()->GetCount(); ++line)
        if (QCLListBox2->Selected[line]) selectedIds.push_back(cat->rowIdAt(line));
    const int caretId = cat->rowIdAt(QCLListBox2->GetInteger(1));
    cat->sortByColumn(h);
    populateForm(true, true);
    if (caretId < 0) return;
    selectOnly(lineOfRowId(*cat, caretId));
    for (int id : selectedIds)
        if (const int line = lineOfRowId(*cat, id); line >= 0) QCLListBox2->Selected[line] = true;
}

void TFormMain::paintHeaderRest(HDC dc) {
    THeaderSections* sections = QCLListBox2->GetHeaderSections();
    const int count = sections->GetCount();
    RECT rest{};
    ::GetClientRect(QCLListBox2->Header()->GetHandle(), &rest);
    if (count > 0) rest.left = sections->GetItem(count - 1)->GetRight();
    if (rest.left < rest.right) FillRect(dc, &rest, GetSysColorBrush(COLOR_BTNFACE));
}

// The heading bar and the lines reach the list's right edge however the list was sized.
void TFormMain::QCLListBox2Resize(TObject*) {
    THeaderSections* sections = QCLListBox2->GetHeaderSections();
    const int count = sections->GetCount();
    if (count > 0) QCLListBox2->VirtualWidth = listWidthFor(sections->GetItem(count - 1)->GetRight());
}

void TFormMain::QCLListBox2HeaderSectionResize(THeaderControl*, THeaderSection*) {
    category* cat = store_.content().current;
    THeaderSections* sections = QCLListBox2->GetHeaderSections();
    const int count = sections->GetCount();
    QCLListBox2Resize(QCLListBox2);
    if (!cat) return;
    int column = 0;
    for (header* h = cat->headerList(); h && column < count; h = h->next)
        if (h->show == hsShown) h->width = sections->GetItem(column++)->GetWidth();
}

void TFormMain::QCLListBox2DrawItem(TWinControl*, int Index, TRect Rect, TOwnerDrawState State) {
    TListBox* list = QCLListBox2->InnerList();
    TCanvas* canvas = QCLListBox2->GetListCanvas();
    const bool selected = State.Contains(odSelected);
    canvas->GetBrush()->SetColor(selected ? clHighlight : list->GetColor());
    canvas->GetFont()->SetColor(selected ? clHighlightText : list->GetFont()->GetColor());
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->FillRect(Rect);
    if (State.Contains(odFocused)) canvas->DrawFocusRect(Rect);
    canvas->GetBrush()->SetStyle(bsClear);
    std::vector<int> widths;
    THeaderSections* sections = QCLListBox2->GetHeaderSections();
    for (int i = 0; i < sections->GetCount(); ++i) widths.push_back(sections->GetItem(i)->GetWidth());
    drawRecordLine(canvas, Rect, QCLListBox2->GetItems()->Get(Index).c_str(),
                   QCLListBox2->GetDelimiter(), widths);
}

void TFormMain::QCLListBox2HeaderSectionTrack(THeaderControl*, THeaderSection*, int, TSectionTrackState) {
    // The header follows the drag at once; the lines are drawn again once it has taken the new width.
    TListBox* list = QCLListBox2->InnerList();
    if (list->HandleAllocated()) InvalidateRect(list->Handle, nullptr, TRUE);
}

void TFormMain::QCLListBox2HeaderDrawSection(THeaderControl* HeaderControl, THeaderSection* Section,
                                             const TRect& Rect, bool) {
    TCanvas* canvas = HeaderControl->GetCanvas();
    canvas->GetBrush()->SetColor(clBtnFace);
    canvas->FillRect(Rect);
    category* cat = store_.content().current;
    int descending = 0;
    const bool sorted = cat && cat->sortState(&descending) == Section->GetIndex();
    const int available = (Rect.Right - Rect.Left) - (sorted ? 22 : 12);
    const std::string caption = fitHeaderCaption(Section->GetText().c_str(), available, [canvas](const std::string& s) {
        return canvas->TextWidth(s.c_str());
    });
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->TextOut(Rect.Left + ColumnTextInset, Rect.Top + 2, caption.c_str());
    canvas->GetBrush()->SetStyle(bsSolid);
    if (sorted) drawSortArrow(canvas, Rect.Right, descending != 0);
}

// ---- editor rows ----

void TFormMain::CompChange(TObject* Sender) {
    VaultContent& content = store_.content();
    category* cat = content.current;
    if (!cat || cat == content.encryptedFiles) return;
    const int line = QCLListBox2->GetInteger(1);
    if (line < 0 || line >= cat->rowCount() || line >= QCLListBox2->GetItems()->GetCount()) return;

    int column = 0;
    componentList* r = EditorList;
    for (; r && column < HeaderCount && !r->ownsControl(Sender); r = r->next) ++column;
    if (!r || column >= HeaderCount) return;

    std::string newValue;
    if (r->getKind() == 0) {
        if (r->isHidden())
            r->mirrorEdit();
        else
            r->setRealValue(std::string(r->edit->GetText().c_str(), r->edit->GetLength()));
        r->updateEmptyImage();
        newValue = r->getValue();
    } else {
        r->updateMemoEmptyImage();
        newValue = r->getMemoText();
    }
    if (r != lastChangedRow) {
        lastChangedRow = r;
        EditNotePending = newValue.size() != 1;
    }
    if (cat->itemText(line, column) != newValue) {
        const int listColumn = visibleColumnOfHeader(*cat, column);
        if (listColumn >= 0) QCLListBox2->SetItemPart(line, listColumn, newValue.c_str());
        cat->setItemText(newValue, line, column);
        flows_.Modified = true;
        if (EditNotePending) {
            dialogs_.tip(this, tips::ChangesSaved.id, tips::ChangesSaved.text);
            EditNotePending = false;
        }
    }
    QCLListBox2->Selected[line] = true;

    if (!cat->isRowEmpty(line)) return;
    ShowMessageBox(this, EntryEmptied, product::Title, mbsOk, mbiInformation);
    if (QCLListBox2->GetInteger(1) >= 0 && QCLListBox2->GetInteger(3) > 0) {
        deleteSelectedLines();
        populateForm(false, false);
        flows_.saveVault();
    } else {
        ShowMessageBox(this, EmptyEntryNotRemoved, product::Title, mbsOk, mbiInformation);
    }
}

void TFormMain::CompMouseRelease(TObject* Sender) {
    for (componentList* r = EditorList; r; r = r->next) {
        if (!r->ownsControl(Sender)) continue;
        if (r->getKind() == 0)
            r->copyValue();
        else
            r->copyMemo();
        return;
    }
}

void TFormMain::hidePasswords() {
    setPasswordsHidden(true);
}

void TFormMain::showPasswords() {
    setPasswordsHidden(false);
}

void TFormMain::setPasswordsHidden(bool hide) {
    category* cat = store_.content().current;
    if (cat && cat != store_.content().encryptedFiles) {
        componentList* r = EditorList;
        for (const header* h = cat->headerList(); h && r; h = h->next, r = r->next)
            if (h->show == hsSecret && r->getKind() == 0) r->setHidden(hide);
    }
    store_.content().hidePwords = hide;
}

// ---- the web-site label ----

void TFormMain::Label4MouseEnter(TObject*) { Label4->GetFont()->SetStyle(TFontStyles{fsUnderline}); }

void TFormMain::Label4MouseLeave(TObject*) { Label4->GetFont()->SetStyle(TFontStyles{}); }

void TFormMain::Label4Click(TObject*) {
    const std::string site = Label4->GetText().c_str();
    if (site.empty()) return;
    if (OpenWebSite) {
        OpenWebSite(site);
        return;
    }
    ShellExecuteA(Handle, "open", site.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
