// The properties panel of the "Encrypted Files" view: the selected node's location, size and
// times (and, for an encrypted file, what its header says), the missing-file panel, the enabling
// of Encrypt, Decrypt and Open, and Open File.
//
// Times of a file are shown in local time; the encryption date was stored as local wall time
// already and is shown as stored. Paths are broken at backslashes by widths measured with the
// label's own font, since the font the system substitutes decides what fits.
#include "fileenc/EncryptedFilesView.h"

#include "fileenc/EncryptedFile.h"
#include "framework/Win32Handles.h"
#include "skin/ClrTreeView.h"
#include "skin/xpButton.h"
#include "vault/category.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace fileview {

std::string formatSize(unsigned long long size) {
    if (size == 0) return "0";
    std::vector<unsigned> groups;
    for (unsigned long long rest = size; rest > 0; rest /= 1000) groups.insert(groups.begin(), rest % 1000);
    std::string text;
    char part[16];
    for (std::size_t i = 0; i + 1 < groups.size(); ++i) {
        std::snprintf(part, sizeof part, "%.3u,", groups[i]);
        text += part;
    }
    std::snprintf(part, sizeof part, "%.3u Bytes", groups.back());
    text += part;
    const std::size_t first = text.find_first_not_of('0');
    return text.substr(first);
}

std::string formatDate(const SYSTEMTIME& time) {
    const int hour = time.wHour % 12 == 0 ? 12 : time.wHour % 12;
    char text[64];
    std::snprintf(text, sizeof text, "%d/%d/%d %d:%.2d %s", time.wMonth, time.wDay, time.wYear, hour, time.wMinute,
                  time.wHour < 12 ? "AM" : "PM");
    return text;
}

std::string breakPath(const std::string& path, int width, const std::function<int(const std::string&)>& measure) {
    std::string out;
    std::string rest = path;
    while (!rest.empty()) {
        std::string line;
        if (measure(rest) <= width) {
            line = rest;
        } else {
            for (std::size_t at = rest.find('\\'); at != std::string::npos; at = rest.find('\\', at + 1)) {
                if (measure(rest.substr(0, at + 1)) > width) break;
                line = rest.substr(0, at + 1);
            }
            if (line.empty()) {
                // One component longer than a line: cut where the line is full (one character at least).
                std::size_t fits = 1;
                while (fits < rest.size() && measure(rest.substr(0, fits + 1)) <= width) ++fits;
                line = rest.substr(0, fits);
            }
        }
        if (!out.empty()) out += "\r\n";
        out += line;
        rest.erase(0, line.size());
    }
    return out;
}

}  // namespace fileview

namespace {

std::string localTime(const FILETIME& stamp) {
    FILETIME local{};
    SYSTEMTIME time{};
    if (!FileTimeToLocalFileTime(&stamp, &local) || !FileTimeToSystemTime(&local, &time)) return "N/A";
    return fileview::formatDate(time);
}

std::string storedTime(const FILETIME& stamp) {
    SYSTEMTIME time{};
    if (!FileTimeToSystemTime(&stamp, &time)) return "N/A";
    return fileview::formatDate(time);
}

bool readHeader(const std::string& path, encfile::EncryptedFileHeader& header) {
    win32::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    unsigned char bytes[encfile::HeaderSize] = {};
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes, sizeof bytes, &read, nullptr) || read != sizeof bytes) return false;
    return encfile::EncryptedFileHeader::decode(bytes, header);
}

bool isFileOnDisk(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isFolderOnDisk(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

int EncryptedFilesView::labelTextWidth(TLabel* label, const std::string& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, label->Font->GetHandle());
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

static int lineCount(const std::string& text) {
    int lines = 1;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
    return lines;
}

void EncryptedFilesView::showMissing(const std::string& path) {
    Panel7->Visible = false;
    Panel10->Visible = false;
    const int width = PanelFileMissing->Width - 16;
    const std::string text = fileview::breakPath(path, width, [&](const std::string& s) { return labelTextWidth(Label28, s); });
    Label28->SetBounds(8, Label28->Top, width, lineCount(text) * labelLineHeight(Label28));
    Label28->Caption = text;
    PanelFileMissing->Visible = true;
    PanelFileMissing->BringToFront();
}

void EncryptedFilesView::ClrTreeView1Change(TObject*, TTreeNode*) {
    if (host_.vaultModified()) host_.saveVault();
    xpEncryptButton->Enabled = false;
    xpDecryptButton->Enabled = false;
    const std::vector<TTreeNode*> selected = selectedNodes();
    for (TTreeNode* node : selected) {
        const std::string path = nodePath(node);
        if (!isRoot(node) && isFileOnDisk(path)) {
            xpEncryptButton->Enabled = true;
        } else if (!isRoot(node) && IsEncrypted(path)) {
            xpDecryptButton->Enabled = true;
        } else if (isRoot(node) || node->ImageIndex == fileview::imgFolder) {
            xpEncryptButton->Enabled = true;
            xpDecryptButton->Enabled = true;
        }
    }
    if (selected.empty()) {
        PanelFileMissing->Visible = false;
        Panel7->Visible = false;
        if (host_.filesCategory() && host_.filesCategory()->rowCount() > 0) {
            Panel10->Visible = true;
            Panel10->BringToFront();
        }
        return;
    }
    Panel10->Visible = false;
    Panel9->Visible = false;
    if (selected.size() > 1 || isRoot(selected.front())) {
        PanelFileMissing->Visible = false;
        Panel7->Visible = true;
        Panel7->BringToFront();
        Memo1->Lines->Text = "N/A";
        Label16->Caption = "N/A";
        layoutPanels();
        xpOpenFileButton->Enabled = false;
        return;
    }
    showProperties(selected.front());
}

void EncryptedFilesView::showProperties(TTreeNode* node) {
    const std::string path = nodePath(node);
    const bool folder = node->ImageIndex == fileview::imgFolder || isFolderOnDisk(path);
    Label23->Caption = folder ? "Folder Location" : "File Location";
    Label24->Caption = folder ? "Folder Properties" : "File Properties";
    xpOpenFileButton->Caption = folder ? "Open Folder" : "Open File";
    const bool encrypted = !folder && IsEncrypted(path);
    if (!folder && !isFileOnDisk(path) && !isFileOnDisk(path + encfile::Extension)) {
        showMissing(path);
        return;
    }
    PanelFileMissing->Visible = false;
    Panel7->Visible = true;
    Panel7->BringToFront();
    xpOpenFileButton->Enabled = true;

    encfile::EncryptedFileHeader header;
    const bool haveHeader = encrypted && readHeader(path + encfile::Extension, header);
    const int width = Panel7->Width - 16;
    Label16->Caption = fileview::breakPath(path, width, [&](const std::string& s) { return labelTextWidth(Label16, s); });
    layoutPanels();

    WIN32_FILE_ATTRIBUTE_DATA entry{};
    const bool haveEntry = GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &entry) != 0;
    if (!encrypted && !haveEntry) return;

    std::string size, created, modified;
    if (encrypted) {
        if (haveHeader) {
            size = fileview::formatSize(header.plainSize);
            created = localTime(header.creationTime);
            modified = localTime(header.lastWriteTime);
        } else {
            size = created = modified = "N/A";
        }
    } else {
        size = folder ? "N/A"
                      : fileview::formatSize((static_cast<unsigned long long>(entry.nFileSizeHigh) << 32) |
                                             entry.nFileSizeLow);
        created = localTime(entry.ftCreationTime);
        modified = localTime(entry.ftLastWriteTime);
    }
    std::string text = "File Size:\t\t   " + size + "\r\n";
    text += "File Creation Time:\t   " + created + "\r\n";
    text += "File Modified Time:\t   " + modified + "\r\n";
    text += "\r\n";
    if (encrypted && haveHeader) {
        text += header.algorithm == encfile::AlgorithmBlowfish ? "Encryption Algorithm:  Blowfish\r\n"
                                                               : "Encryption Algorithm:  Unknown\r\n";
        text += "Encryption Date:\t   " + storedTime(header.encryptionDate) + "\r\n";
        text += "Encrypted File Size:\t   " + fileview::formatSize(header.encryptedLength);
    } else if (!folder) {
        text += "This file is not encrypted";
    }
    alignMemoColumns();
    Memo1->Lines->Text = text;
    alignMemoValues(text);
}

// The tab stops come in the memo's own units, which it turns into pixels by a rounded average
// width: where the tabbed values really stand is measured, and the column moved to "Blowfish".
void EncryptedFilesView::alignMemoValues(const std::string& text) {
    const std::string algorithm = "Encryption Algorithm:  ";
    const std::size_t untabbed = text.find(algorithm);
    const std::size_t tab = text.find("\t   ", text.find("\r\n"));
    if (untabbed == std::string::npos || tab == std::string::npos) return;
    HWND memo = Memo1->GetHandle();
    auto xOf = [memo](std::size_t index) {
        return static_cast<int>(static_cast<short>(LOWORD(SendMessageA(memo, EM_POSFROMCHAR, index, 0))));
    };
    int shift = 0;
    for (int round = 0; round < 3; ++round) {
        const int miss = xOf(untabbed + algorithm.size()) - xOf(tab + 4);
        if (miss == 0) return;
        shift += miss;
        alignMemoColumns(shift);
    }
}

void EncryptedFilesView::alignMemoColumns(int shift) {
    // The values line up where "Encryption Algorithm:  " ends, whatever font the system gave the
    // memo: "File Size:" reaches that column with two tabs, the longer names with one.
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Memo1->Font->GetHandle());
    auto width = [&](const char* text) {
        SIZE size{};
        GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
        return static_cast<int>(size.cx);
    };
    const char* const alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const int average = std::max(1, (width(alphabet) / 26 + 1) / 2);
    int column = width("Encryption Algorithm:  ") - width("   ");
    for (const char* name : {"File Creation Time:", "File Modified Time:", "Encryption Date:", "Encrypted File Size:"})
        column = std::max(column, width(name) + 4);
    column += shift;
    const int first = width("File Size:") + 4;
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    auto units = [&](int pixels) { return (pixels * 4 + average - 1) / average; };
    Memo1->SetTabStops({units(std::min(first, column - 4)), units(column)});
}

void EncryptedFilesView::xpOpenFileButtonClick(TObject*) {
    TTreeNode* node = ClrTreeView1->Selected;
    if (!node || isRoot(node)) return;
    const std::string path = nodePath(node);
    if (path.empty()) return;
    if (!isFolderOnDisk(path) && !fileOrEncryptedExists(path)) {
        notice(fileview::FileDoesNotExist);
        return;
    }
    runFile(path);
    if (node->ImageIndex != fileview::imgFolder) {
        node->ImageIndex = fileview::imgPlainFile;
        node->SelectedIndex = fileview::imgPlainFile;
    }
    updateTreeImages(false);
}
