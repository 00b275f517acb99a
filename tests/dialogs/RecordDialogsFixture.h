/*
 * Support of the record dialogs' tests: a fixture with the library's
 * application object (the library edits' caret timers need it), small
 * category models built from tables, and a way to script a dialog that
 * another dialog opens inside its own modal loop (found by its window text,
 * then handed to the script as its class).
 */
#pragma once

#include "tests/dialogs/DialogDriver.h"

#include "components/runtime/qclclass.h"
#include "vault/category.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace recordtest {

struct FieldSpec {
    const char* name;
    int type;
    int show;
};

// A category with the fields and rows given (rows hold one value per field).
inline category* makeCategory(const std::string& name, const std::vector<FieldSpec>& fields,
                              const std::vector<RowValues>& rows = {}) {
    auto* c = new category(name);
    for (const FieldSpec& f : fields) c->addHeader(f.name, f.type, f.show);
    for (const RowValues& r : rows) c->insertRow(r);
    return c;
}

// Owns a chain of categories (destroying the head destroys the chain).
struct Chain {
    category* head = nullptr;
    ~Chain() { delete head; }
    category* add(category* c) {
        if (!head) return head = c;
        category* last = head;
        while (last->next) last = last->next;
        return last->next = c;
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (category* c = head; c; c = c->next) out.push_back(c->getName());
        return out;
    }
};

class RecordDialogTest : public dialogtest::DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        QCLInitApplication();
    }
    void TearDown() override {
        DialogTest::TearDown();
        QCLDoneApplication();
    }
};

// Once the dialog with this window text is up (also inside a nested modal loop), brings it to the
// foreground and runs script on it; done is set after the script.
template <class Dialog>
void whenUp(const std::string& windowText, std::function<void(Dialog*)> script, std::shared_ptr<bool> done,
            DWORD deadlineMs = 10000) {
    const DWORD until = GetTickCount() + deadlineMs;
    fwtest::runAfter(20, [=] {
        HWND window = dialogtest::findDialog(windowText);
        auto* dialog = window ? dynamic_cast<Dialog*>(TWinControl::FindControl(window)) : nullptr;
        if (!dialog) {
            if (GetTickCount() < until) whenUp<Dialog>(windowText, script, done, until - GetTickCount());
            return;
        }
        if (!dialogtest::bringUp(dialog)) return;
        script(dialog);
        *done = true;
    });
}

}  // namespace recordtest
