/*
 * One editor row of a record: the field's caption, a one-line edit or a memo,
 * a copy button and the picture that stands in for it while the value is
 * empty, and the file buttons the entry dialog uses. Rows form a chain; the
 * main window keeps a pool of them and reuses them for every category.
 *
 * Tricky points:
 * - A masked row shows one "*" per character in its edit and keeps the real
 *   value beside it. The edit itself then holds only asterisks, so every
 *   change has to be replayed on the kept value: the row's edit (TRecordEdit)
 *   reports exactly what each change removed and inserted, which covers
 *   typing, paste, overwrite and drag-move alike. A drag-move re-inserts the
 *   asterisks it just removed; the row puts the real characters back instead.
 * - The edit's undo history is of no use on a masked row (it would replay
 *   asterisks as if typed), so it is dropped after every change there; a
 *   change that arrives without its record and inserts more than one
 *   character is refused (the shown text goes back to the value's mask).
 * - Programmatic text changes detach the change event, which the edit would
 *   otherwise fire for them.
 * - The kept value is a secret: it lives in wiped memory.
 */
#pragma once

#include "components/controls/QCLCustomEdit.h"
#include "framework/Framework.h"
#include "vault/SecureMemory.h"

#include <string>

class KTransButton;
class TTranImage;
class TQCLBitmapList;

// The record editor's one-line edit: remembers the last change's record.
class TRecordEdit : public TQCLEdit {
public:
    using TQCLEdit::TQCLEdit;
    AnsiString ClassName() const override { return "TRecordEdit"; }

    struct Change {
        int at = 0;  // 1-based
        SecretText removed;
        SecretText inserted;
    };
    // The record of the change just made, once; false when the change came without one.
    bool takeChange(Change& change);
    // True while a drag of the selection is being dropped.
    bool dropping() const { return dropping_; }
    void Dispatch(TMessage& Message) override;

protected:
    void HandleReplaceText(int At, const SecretText& Removed) override;
    void HandleInsertText(int At, const SecretText& Inserted) override;

private:
    Change change_;
    bool hasChange_ = false;
    bool dropping_ = false;
};

enum ActionButtonType { abCopy = 0, abBrowse = 1, abRemove = 2, abEncrypt = 3, abDecrypt = 4, abRun = 5 };

class componentList {
public:
    // pictures: the bitmap list the buttons and the empty-value picture come from (may be null:
    // then the buttons have no picture).
    explicit componentList(TQCLBitmapList* pictures = nullptr);
    ~componentList();
    componentList(const componentList&) = delete;
    componentList& operator=(const componentList&) = delete;

    void setCaption(int top, const std::string& name, TWinControl* parent);
    void showEdit(int top, int width, TNotifyEvent changeHandler, TComponent* owner, TWinControl* parent, int tabOrder,
                  bool hidden);
    void showMemo(int top, int width, TNotifyEvent changeHandler, TComponent* owner, TWinControl* parent,
                  int tabOrder);
    void showButton(bool visible, int left, TNotifyEvent releaseHandler, TComponent* owner, TWinControl* parent,
                    int type, int height, int width, int top);
    void showEmptyImage(int width, int height, TWinControl* parent, int pictureIndex, int top, int left);

    void setValue(const std::string& text);
    void setMemoText(const std::string& text);
    void setFileValue(const std::string& path, bool encrypted);
    void setHidden(bool flag);
    std::string getValue() const;
    std::string getMemoText() const;
    int getKind() const { return kind; }
    void setKind(int k) { kind = k; }
    bool isHidden() const { return hidden; }
    void setRealValue(const std::string& text) { value = SecretText(text.c_str(), text.size()); }

    void copyValue();
    void copyMemo();
    void updateEmptyImage();
    void updateMemoEmptyImage();
    void hideAll();
    bool ownsControl(const TObject* control) const;
    // Replays the edit's last change on the kept value of a masked row (see the top of the file).
    void mirrorEdit();

    int kind = 0;
    TLabel* caption = nullptr;
    TRecordEdit* edit = nullptr;
    TMemo* memo = nullptr;
    bool hidden = false;
    SecretText value;
    KTransButton* copyButton = nullptr;
    KTransButton* browseButton = nullptr;
    KTransButton* removeButton = nullptr;
    KTransButton* decryptButton = nullptr;
    KTransButton* encryptButton = nullptr;
    KTransButton* runButton = nullptr;
    TTranImage* emptyImage = nullptr;
    componentList* next = nullptr;

private:
    KTransButton*& buttonOfType(int type);
    void setEditText(const SecretText& text);
    void maskEdit(int cursor);

    TQCLBitmapList* pictures_;
    TNotifyEvent editChange_;
    SecretText dragged_;  // the real characters a drag-move took out, until it drops them
};

// The hint of an action button type ("text|text").
const char* actionButtonHint(int type);
// The picture base index of an action button type in the bitmap list.
int actionButtonPictureBase(int type);
