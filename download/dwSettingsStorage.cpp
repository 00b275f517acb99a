// The certificate flags and the item list in the download controls' stored settings.
#include "download/dwSettingsStorage.h"

#include "download/dwMultiDownLoader.h"

#include <iterator>

namespace {

constexpr TdwCertificateFlag kFlags[] = {cfIgnoreCommonNameInvalid, cfIgnoreDateInvalid, cfIgnoreUnknownAuthority};

void writeItem(TWriter* writer, TdwDownLoadItem* item) {
    writer->WriteString(item->GetURL());
    writer->WriteString(item->GetLocalFile());
    writer->WriteString(item->GetUserNameText());
    writer->WriteInteger(item->Priority);
    writer->WriteInteger(dwCertificateFlagBits(item->CertificateFlags));
    writer->WriteBoolean(item->UseInternetErrorDialog);
    writer->WriteInteger(item->GetResourcePos());
}

// Each value through its setter or range rule, as the control's own settings.
void readItem(TReader* reader, TdwDownLoadItem* item) {
    item->SetURL(reader->ReadString());
    item->SetLocalFile(reader->ReadString());
    item->SetUserName(reader->ReadString());
    const int priority = reader->ReadInteger();
    if (priority >= ppLower && priority <= ppHigher) item->Priority = static_cast<TdwProcessPriority>(priority);
    item->CertificateFlags = dwCertificateFlagsOf(reader->ReadInteger());
    item->UseInternetErrorDialog = reader->ReadBoolean();
    item->SetResourcePos(reader->ReadInteger());
}

}  // namespace

int dwCertificateFlagBits(TdwCertificateFlags Flags) {
    int bits = 0;
    for (size_t i = 0; i < std::size(kFlags); ++i)
        if (Flags.Contains(kFlags[i])) bits |= 1 << i;
    return bits;
}

TdwCertificateFlags dwCertificateFlagsOf(int Bits) {
    TdwCertificateFlags flags;
    for (size_t i = 0; i < std::size(kFlags); ++i)
        if (Bits & (1 << i)) flags << kFlags[i];
    return flags;
}

void dwDefineCertificateFlags(TFiler* Filer, TdwCertificateFlags& Flags) {
    Filer->DefineProperty(
        "CertificateFlags", TReaderProc([&Flags](TReader* reader) { Flags = dwCertificateFlagsOf(reader->ReadInteger()); }),
        TWriterProc([&Flags](TWriter* writer) { writer->WriteInteger(dwCertificateFlagBits(Flags)); }), true);
}

void dwDefineDownLoadItems(TFiler* Filer, TdwDownLoadList* List) {
    Filer->DefineProperty(
        "Items",
        TReaderProc([List](TReader* reader) {
            List->Clear();
            reader->ReadListBegin();
            while (!reader->EndOfList()) readItem(reader, List->Add());
            reader->ReadListEnd();
        }),
        TWriterProc([List](TWriter* writer) {
            writer->WriteListBegin();
            for (int i = 0; i < List->GetCount(); ++i) writeItem(writer, List->GetItem(i));
            writer->WriteListEnd();
        }),
        true);
}
