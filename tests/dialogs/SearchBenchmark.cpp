/*
 * Benchmark (not a test): the search dialog over a vault of 50,000 entries
 * (or the count given as the first argument) in three categories of four
 * fields, shown on screen. One measurement is what a key release in the
 * search text costs: the whole vault searched, the result list emptied and
 * filled, and the list repainted (the message loop run until idle). Terms:
 * one that 1 % of the entries hold, one that none holds, and one that every
 * entry holds. Lines starting "result" are for scripts/bench (name, median
 * milliseconds over the repetitions, 0).
 */
#include "dialogs/QZ_Frm_Search.h"

#include "components/runtime/qclclass.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Three categories sharing count entries; every hundredth entry holds "Quokka" in its notes.
category* makeVault(int count) {
    const char* names[] = {"Web Sites", "Bank Accounts", "Software"};
    category* head = nullptr;
    category* last = nullptr;
    int made = 0;
    for (int c = 0; c < 3; ++c) {
        auto* cat = new category(names[c]);
        cat->addHeader("Name", htOneLine, hsShown);
        cat->addHeader("Login", htOneLine, hsShown);
        cat->addHeader("Password", htOneLine, hsSecret);
        cat->addHeader("Notes", htParagraph, hsEditorOnly);
        const int share = c < 2 ? count / 3 : count - made;
        for (int i = 0; i < share; ++i, ++made) {
            const std::string n = std::to_string(made);
            cat->insertRow({"Entry " + n, "user" + n + "@example.com", "pw-" + n + "-x9",
                            made % 100 == 0 ? "Quokka visit\r\nline two " + n : "Line one " + n + "\r\nline two"});
        }
        if (!head) head = cat;
        else last->next = cat;
        last = cat;
    }
    return head;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(3, std::atoi(argv[1])) : 50000;
    const int repetitions = 9;
    try {
        InitFramework();
        Application->Initialize();
        QCLInitApplication();
        std::unique_ptr<category> vault(makeVault(count));
        std::unique_ptr<category> files(new category("Encrypted Files"));
        files->addHeader("File", htOneLine, hsShown);
        auto* dialog = MakeForm<TFrm_Search>(nullptr);
        dialog->SetCategories(vault.get(), files.get());
        dialog->Show();
        pump();
        const struct {
            const char* name;
            const char* term;
        } terms[] = {{"search-1pct", "quokka"}, {"search-none", "zebra"}, {"search-all-rows", "entry"}};
        for (const auto& t : terms) {
            std::vector<double> times;
            std::size_t lines = 0;
            for (int i = 0; i < repetitions; ++i) {
                dialog->QCLEdit1->SetText("");
                dialog->RunSearch();
                pump();
                const double start = nowMs();
                dialog->QCLEdit1->SetText(t.term);
                dialog->RunSearch();
                pump();
                times.push_back(nowMs() - start);
                lines = dialog->Hits().size();
            }
            std::sort(times.begin(), times.end());
            std::printf("result %s %.2f 0\n", t.name, times[times.size() / 2]);
            std::fprintf(stderr, "%s: %zu lines\n", t.name, lines);
            std::fflush(stdout);
        }
        dialog->Free();
        QCLDoneApplication();
    } catch (const std::exception& e) {
        std::printf("benchmark failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
