/*
 * The defined-property filer; see Filer.h. The reader reads one property name
 * at a time and runs the instance's DefineProperties, which claims the name
 * through DefineProperty and reads the value.
 */
#include "framework/Filer.h"

namespace {
[[noreturn]] void invalidValue() { throw EReadError("Invalid property value"); }
}  // namespace

// ---------------------------------------------------------------------------
// TReader

TValueType TReader::ReadValue() {
    unsigned char type = 0;
    stream_->ReadBuffer(&type, 1);
    if (type > vaBinary) invalidValue();
    return static_cast<TValueType>(type);
}

TValueType TReader::NextValue() {
    TValueType type = ReadValue();
    stream_->Seek(-1, soFromCurrent);
    return type;
}

AnsiString TReader::readCounted() {
    int32_t length = 0;
    stream_->ReadBuffer(&length, 4);
    if (length < 0 || length > stream_->GetSize() - stream_->GetPosition()) invalidValue();
    AnsiString bytes(static_cast<size_t>(length), '\0');
    if (length) stream_->ReadBuffer(&bytes[0], length);
    return bytes;
}

int TReader::ReadInteger() {
    if (ReadValue() != vaInt) invalidValue();
    int32_t value = 0;
    stream_->ReadBuffer(&value, 4);
    return value;
}

AnsiString TReader::ReadString() {
    if (ReadValue() != vaString) invalidValue();
    return readCounted();
}

AnsiString TReader::ReadIdent() {
    TValueType type = ReadValue();
    if (type == vaFalse) return "False";
    if (type == vaTrue) return "True";
    if (type == vaNull) return "nil";
    if (type != vaIdent) invalidValue();
    return readCounted();
}

bool TReader::ReadBoolean() {
    TValueType type = ReadValue();
    if (type != vaTrue && type != vaFalse) invalidValue();
    return type == vaTrue;
}

double TReader::ReadFloat() {
    TValueType type = ReadValue();
    if (type == vaInt) {
        int32_t value = 0;
        stream_->ReadBuffer(&value, 4);
        return value;
    }
    if (type != vaFloat) invalidValue();
    double value = 0;
    stream_->ReadBuffer(&value, 8);
    return value;
}

void TReader::ReadListBegin() {
    if (ReadValue() != vaList) invalidValue();
}

bool TReader::EndOfList() { return NextValue() == vaNull; }

void TReader::ReadListEnd() {
    if (ReadValue() != vaNull) invalidValue();
}

void TReader::DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc, bool) {
    if (claimed_ || !SameText(Name, current_) || !ReadData) return;
    claimed_ = true;
    ReadData(this);
}

void TReader::DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc, bool) {
    if (claimed_ || !SameText(Name, current_) || !ReadData) return;
    claimed_ = true;
    if (ReadValue() != vaBinary) invalidValue();
    AnsiString bytes = readCounted();
    TMemoryStream data;
    if (!bytes.empty()) data.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    data.SetPosition(0);
    ReadData(&data);
}

void TReader::ReadDefinedProperties(TPersistent* Instance) {
    while (true) {
        unsigned char length = 0;
        stream_->ReadBuffer(&length, 1);
        if (length == 0) return;
        current_.assign(length, '\0');
        stream_->ReadBuffer(&current_[0], length);
        claimed_ = false;
        Instance->DefineProperties(this);
        if (!claimed_)
            throw EReadError("Error reading %s.%s: Property %s does not exist",
                             {Instance->ClassName(), current_, current_});
    }
}

// ---------------------------------------------------------------------------
// TWriter

void TWriter::WriteValue(TValueType Value) {
    unsigned char type = Value;
    stream_->WriteBuffer(&type, 1);
}

void TWriter::writeCounted(const AnsiString& bytes) {
    int32_t length = static_cast<int32_t>(bytes.size());
    stream_->WriteBuffer(&length, 4);
    if (length) stream_->WriteBuffer(bytes.data(), length);
}

void TWriter::writeName(const AnsiString& name) {
    if (name.empty() || name.size() > 255) throw EWriteError("Invalid property name '%s'", {name});
    unsigned char length = static_cast<unsigned char>(name.size());
    stream_->WriteBuffer(&length, 1);
    stream_->WriteBuffer(name.data(), length);
}

void TWriter::WriteInteger(int Value) {
    WriteValue(vaInt);
    int32_t value = Value;
    stream_->WriteBuffer(&value, 4);
}

void TWriter::WriteString(const AnsiString& Value) {
    WriteValue(vaString);
    writeCounted(Value);
}

void TWriter::WriteIdent(const AnsiString& Value) {
    if (SameText(Value, "False")) return WriteValue(vaFalse);
    if (SameText(Value, "True")) return WriteValue(vaTrue);
    if (SameText(Value, "nil")) return WriteValue(vaNull);
    WriteValue(vaIdent);
    writeCounted(Value);
}

void TWriter::WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }

void TWriter::WriteFloat(double Value) {
    WriteValue(vaFloat);
    stream_->WriteBuffer(&Value, 8);
}

void TWriter::WriteListBegin() { WriteValue(vaList); }
void TWriter::WriteListEnd() { WriteValue(vaNull); }

void TWriter::DefineProperty(const AnsiString& Name, TReaderProc, TWriterProc WriteData, bool HasData) {
    if (!HasData || !WriteData) return;
    writeName(Name);
    WriteData(this);
}

void TWriter::DefineBinaryProperty(const AnsiString& Name, TStreamProc, TStreamProc WriteData, bool HasData) {
    if (!HasData || !WriteData) return;
    writeName(Name);
    TMemoryStream data;
    WriteData(&data);
    WriteValue(vaBinary);
    writeCounted(AnsiString(static_cast<const char*>(data.Memory()), static_cast<size_t>(data.GetSize())));
}

void TWriter::WriteDefinedProperties(TPersistent* Instance) {
    Instance->DefineProperties(this);
    unsigned char end = 0;
    stream_->WriteBuffer(&end, 1);
}

void WriteDefinedProperties(TStream* Stream, TPersistent* Instance) {
    TWriter writer(Stream);
    writer.WriteDefinedProperties(Instance);
}

void ReadDefinedProperties(TStream* Stream, TPersistent* Instance) {
    TReader reader(Stream);
    reader.ReadDefinedProperties(Instance);
}
