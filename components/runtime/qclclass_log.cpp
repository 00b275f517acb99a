// The text log of the application object (part of the qclclass unit); no
// window of the program writes to it.
//
// Each LogWrite opens the file, writes one entry (or a command: "#CR" an
// empty line, "#Header" the header, "#Line" 80 asterisks) and closes it. A
// file above MaxLogSize is cleared or renamed to the first free ".l0",
// ".l1", ... name, unless OnMaxLogSize cancels the write.
#include "components/runtime/qclclass.h"

#include "components/runtime/qclstrings.h"

#include "framework/Forms.h"

#include <cstdio>

namespace {

AnsiString exePath() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

AnsiString localDate() {
    char text[64] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, text, sizeof(text));
    return text;
}

AnsiString localTime() {
    char text[64] = {};
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, text, sizeof(text));
    return text;
}

int64_t fileSize(const AnsiString& name) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool fileExists(const AnsiString& name) { return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES; }

const AnsiString kStars(80, '*');

}  // namespace

void TQCLApplication::SetLogName(const AnsiString& Name) {
    AnsiString name = Name;
    if (QCLEmpty(name))
        name = ChangeFileExt(exePath(), ".LOG");
    else if (ExtractFileExt(name).empty())
        name += ".LOG";
    logName_ = logPrefix_ == ppFixed ? name : QCLCreatePathPrefix(logPrefix_, true) + ExtractFileName(name);
}

void TQCLApplication::SetLogPrefix(TQCLPathPrefix Prefix) {
    if (Prefix == logPrefix_)
        return;
    logPrefix_ = Prefix;
    SetLogName(logName_);
}

AnsiString TQCLApplication::logHeader() const {
    AnsiString header = "\r\nLogFile started: " + localDate() + " " + localTime() + "\r\n";
    header += "Application    : " + (Application ? Application->GetTitle() : AnsiString()) + "\r\n";
    header += "Path/ExeName   : " + exePath() + "\r\n";
    if (!QCLEmpty(VersionText))
        header += "Version        : " + VersionText + "\r\n";
    if (OnHeaderWrite) {
        TStringList lines;
        OnHeaderWrite(const_cast<TQCLApplication*>(this), &lines);
        header += lines.Text();
    }
    return header + kStars + "\r\n\r\nEntries:\r\n";
}

AnsiString TQCLApplication::logLine(const AnsiString& text) {
    ++logLineNumber_;
    AnsiString line;
    for (char part : LogTemplate) {
        switch (part) {
        case '#':
            if (Options.Contains(aoLogNr))
                line += QCLAddZeroL(IntToStr(logLineNumber_), 5) + ": ";
            break;
        case 't':
            if (Options.Contains(aoLogTime))
                line += " [" + localTime() + "]";
            break;
        case 'd':
            if (Options.Contains(aoLogDate))
                line += " [" + localDate() + "]";
            break;
        case 'l': line += text; break;
        default: break;
        }
    }
    return line + "\r\n";
}

void TQCLApplication::LogWrite(const AnsiString& Text) {
    bool startAnew = false;
    if (MaxLogSize > 100 && fileSize(logName_) > MaxLogSize) {
        bool cancel = false;
        if (OnMaxLogSize)
            OnMaxLogSize(this, logName_, cancel);
        if (cancel)
            return;
        if (LogAction == laBackupLog) {
            for (int n = 0;; ++n) {
                const AnsiString backup = ChangeFileExt(logName_, ".l" + IntToStr(n));
                if (!fileExists(backup)) {
                    MoveFileA(logName_.c_str(), backup.c_str());
                    break;
                }
            }
        }
        startAnew = LogAction != laNone;
    }
    const bool create = startAnew || !fileExists(logName_) || (Options.Contains(aoLogAlwaysClear) && !logWritten_);
    FILE* file = std::fopen(logName_.c_str(), create ? "wb" : "ab");
    if (!file)
        return;
    AnsiString out;
    if (startAnew || (!logWritten_ && Options.Contains(aoLogHeader)))
        out += logHeader();
    if (Text == "#CR")
        out += "\r\n";
    else if (Text == "#Header")
        out += logHeader();
    else if (Text == "#Line")
        out += kStars + "\r\n";
    else
        out += logLine(Text);
    std::fwrite(out.data(), 1, out.size(), file);
    std::fclose(file);
    logWritten_ = true;
}

void TQCLApplication::logException(TObject* Sender, const AnsiString& message, const void* address) {
    AnsiString text = Format("%s, Address: %p", {message, address});
    if (auto* component = dynamic_cast<TComponent*>(Sender); component && !component->GetName().empty())
        text = Sender->ClassName() + " (Name: " + component->GetName() + "): " + text;
    else if (Sender)
        text = Sender->ClassName() + ": " + text;
    LogWrite(text);
}

void TQCLApplication::LogException(TObject* Sender) {
    if (!std::current_exception())
        return;
    try {
        throw;
    } catch (const Exception& e) {
        logException(Sender, e.Message, &e);
    } catch (const std::exception& e) {
        logException(Sender, e.what(), &e);
    } catch (...) {
        logException(Sender, "Unknown exception", nullptr);
    }
}

void TQCLApplication::HandleException(TObject* Sender, Exception* E) {
    if (!E)
        return;
    bool cancel = false;
    if (OnException)
        OnException(Sender, E, cancel);
    if (cancel)
        return;
    if (Options.Contains(aoLogException))
        logException(Sender, E->Message, E);
    if (Application)
        Application->ShowException(E);
}
