/*
 * A small filer for the properties that classes define themselves through
 * DefineProperties. It streams no components and reflects nothing.
 *
 * Stream format (ours): each property is a length byte and the name's bytes,
 * then a value: a value-type byte and its payload (int32, double, int32
 * length plus bytes for strings, identifiers and binary data; list begin,
 * items, null). An empty name ends the properties.
 *
 * A property defined without a writer is read-only legacy data: it is read
 * when found and never written. A name no class claims raises EReadError.
 */
#pragma once

#include "framework/Classes.h"

enum TValueType : unsigned char {
    vaNull = 0, vaList = 1, vaInt = 2, vaFloat = 3, vaString = 4, vaIdent = 5,
    vaFalse = 6, vaTrue = 7, vaBinary = 8
};

class TReader;
class TWriter;
using TReaderProc = TEvent<void(TReader* Reader)>;
using TWriterProc = TEvent<void(TWriter* Writer)>;
using TStreamProc = TEvent<void(TStream* Stream)>;

class TFiler : public TObject {
public:
    explicit TFiler(TStream* AStream) : stream_(AStream) {}
    virtual void DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) = 0;
    virtual void DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc WriteData,
                                      bool HasData) = 0;
    TStream* Stream() const { return stream_; }

protected:
    TStream* stream_;
};

class TReader : public TFiler {
public:
    using TFiler::TFiler;

    void DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
    void DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc WriteData,
                              bool HasData) override;

    TValueType ReadValue();
    TValueType NextValue();
    int ReadInteger();
    AnsiString ReadString();
    AnsiString ReadIdent();
    bool ReadBoolean();
    double ReadFloat();
    void ReadListBegin();
    bool EndOfList();
    void ReadListEnd();
    // Reads the defined properties of Instance until the end marker.
    void ReadDefinedProperties(TPersistent* Instance);

private:
    AnsiString readCounted();
    AnsiString current_;
    bool claimed_ = false;
};

class TWriter : public TFiler {
public:
    using TFiler::TFiler;

    void DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
    void DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc WriteData,
                              bool HasData) override;

    void WriteValue(TValueType Value);
    void WriteInteger(int Value);
    void WriteString(const AnsiString& Value);
    void WriteIdent(const AnsiString& Value);
    void WriteBoolean(bool Value);
    void WriteFloat(double Value);
    void WriteListBegin();
    void WriteListEnd();
    // Writes the defined properties of Instance and the end marker.
    void WriteDefinedProperties(TPersistent* Instance);

private:
    void writeName(const AnsiString& name);
    void writeCounted(const AnsiString& bytes);
};

void WriteDefinedProperties(TStream* Stream, TPersistent* Instance);
void ReadDefinedProperties(TStream* Stream, TPersistent* Instance);
