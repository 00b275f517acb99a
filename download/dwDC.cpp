// The control base: settings, busy count and the settings in the registry; see dwDC.h.
#include "download/dwDC.h"

#include "download/Dwwininet.h"
#include "framework/Filer.h"
#include "framework/Registry.h"

#include <cstring>

TThreadPriority dwThreadPriority(TdwProcessPriority Priority) {
    switch (Priority) {
    case ppLower: return tpLower;
    case ppHigher: return tpHigher;
    default: return tpNormal;
    }
}

void dwPutCredential(const AnsiString& Value, LPSTR Buffer, DWORD& Length) {
    if (Value.empty() || !Buffer) return;
    if (Value.size() >= dwURLPartSize::UserName) {
        Length = static_cast<DWORD>(Value.size());
        return;
    }
    std::memset(Buffer, 0, dwURLPartSize::UserName);
    std::memcpy(Buffer, Value.data(), Value.size());
    Length = static_cast<DWORD>(Value.size());
}

TdwCustomInternetControl::TdwCustomInternetControl(TComponent* AOwner) : TComponent(AOwner) {}

void TdwCustomInternetControl::BeginIsBusy() {
    if (++busyCount_ == 1 && OnIsBusyChanged) OnIsBusyChanged(this);
}

void TdwCustomInternetControl::EndIsBusy() {
    if (busyCount_ == 0) return;
    if (--busyCount_ == 0 && OnIsBusyChanged) OnIsBusyChanged(this);
}

namespace {

// One integer setting in the streamed table: read through the setter, so a
// damaged value keeps the setter's range rule.
template <class Control>
void defineInteger(TFiler* filer, const AnsiString& name, Control* control, int (Control::*get)() const,
                   void (Control::*set)(int)) {
    filer->DefineProperty(
        name, TReaderProc([control, set](TReader* reader) { (control->*set)(reader->ReadInteger()); }),
        TWriterProc([control, get](TWriter* writer) { writer->WriteInteger((control->*get)()); }), true);
}

}  // namespace

void TdwCustomInternetControl::DefineProperties(TFiler* Filer) {
    TComponent::DefineProperties(Filer);
    defineInteger(Filer, "TryCount", this, &TdwCustomInternetControl::GetTryCount,
                  &TdwCustomInternetControl::SetTryCount);
    defineInteger(Filer, "BatchSize", this, &TdwCustomInternetControl::GetBatchSize,
                  &TdwCustomInternetControl::SetBatchSize);
    defineInteger(Filer, "TimeOut", this, &TdwCustomInternetControl::GetTimeOut,
                  &TdwCustomInternetControl::SetTimeOut);
    defineInteger(Filer, "MinResourceSize", this, &TdwCustomInternetControl::GetMinResourceSize,
                  &TdwCustomInternetControl::SetMinResourceSize);
    defineInteger(Filer, "MaxResourceSize", this, &TdwCustomInternetControl::GetMaxResourceSize,
                  &TdwCustomInternetControl::SetMaxResourceSize);
}

void TdwCustomInternetControl::WriteRegistry(const AnsiString& Key) {
    TMemoryStream stream;
    WriteDefinedProperties(&stream, this);
    TRegistry registry;
    if (!registry.OpenKey(Key, true)) return;
    registry.WriteBinaryData("Data", stream.Memory(), static_cast<int>(stream.GetSize()));
}

void TdwCustomInternetControl::ReadRegistry(const AnsiString& Key) {
    TRegistry registry;
    if (!registry.OpenKey(Key, false)) return;
    int size = registry.GetDataSize("Data");
    if (size <= 0) return;
    TMemoryStream stream;
    stream.SetSize(size);
    try {
        registry.ReadBinaryData("Data", stream.Memory(), size);
        stream.SetPosition(0);
        ReadDefinedProperties(&stream, this);
    } catch (Exception&) {
        // A damaged value: what was read so far stays.
    }
}
