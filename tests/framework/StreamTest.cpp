// Streams (short reads, sharing modes, resources) and the defined-property filer.
#include <gtest/gtest.h>

#include "framework/Classes.h"
#include "framework/Filer.h"
#include "tests/support/TempFolder.h"

namespace {

using brimtest::TempFolderTest;

TEST(Streams, ShortReadAndWriteRaise) {
    TMemoryStream stream;
    stream.WriteBuffer("abc", 3);
    stream.Position = 1;
    char buffer[8] = {};
    try {
        stream.ReadBuffer(buffer, 3);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message, "Stream read error");
    }
    stream.Position = 0;
    stream.ReadBuffer(buffer, 3);
    EXPECT_STREQ(buffer, "abc");
    TResourceStream resource(GetModuleHandleA(nullptr), 100, RT_RCDATA);
    try {
        resource.WriteBuffer("x", 1);
        FAIL();
    } catch (const EStreamError&) {
    }
}

TEST(Streams, ResourceStreamReadsTheRcDataItem) {
    TResourceStream resource(GetModuleHandleA(nullptr), 100, RT_RCDATA);
    std::string bytes(static_cast<size_t>(resource.Size()), '\0');
    resource.ReadBuffer(&bytes[0], static_cast<int>(bytes.size()));
    EXPECT_EQ(bytes.substr(0, 14), "resource bytes");
    EXPECT_THROW(TResourceStream(GetModuleHandleA(nullptr), 999, RT_RCDATA), EResNotFound);
}

TEST_F(TempFolderTest, FileStreamSharingModesAndOpenErrors) {
    std::string name = temp.file("data.bin");
    {
        TFileStream created(name, fmCreate);
        created.WriteBuffer("12345", 5);
    }
    {
        TFileStream reader(name, fmOpenRead | fmShareDenyWrite);
        EXPECT_EQ(reader.Size(), 5);
        EXPECT_THROW(TFileStream(name, fmOpenReadWrite), EFOpenError) << "deny-write refuses a writer";
        TFileStream secondReader(name, fmOpenRead | fmShareDenyWrite);
        EXPECT_EQ(secondReader.Size(), 5);
    }
    {
        TFileStream exclusive(name, fmOpenRead | fmShareExclusive);
        EXPECT_THROW(TFileStream(name, fmOpenRead | fmShareDenyNone), EFOpenError);
    }
    {
        // Deny-read admits only writers.
        TFileStream denyRead(name, fmOpenWrite | fmShareDenyRead);
        EXPECT_THROW(TFileStream(name, fmOpenRead | fmShareDenyNone), EFOpenError);
        TFileStream writer(name, fmOpenWrite | fmShareDenyNone);
        writer.Position = 5;
        writer.WriteBuffer("6", 1);
    }
    EXPECT_EQ(temp.readFile("data.bin"), "123456");
    try {
        TFileStream missing(temp.file("missing.bin"), fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message.rfind("Cannot open file " + temp.file("missing.bin") + ". ", 0), 0u) << e.Message;
        EXPECT_GT(e.Message.size(), ("Cannot open file " + temp.file("missing.bin") + ". ").size());
    }
    EXPECT_THROW(TFileStream(temp.file("no\\such\\dir.bin"), fmCreate), EFCreateError);
}

// A persistent with defined properties of every kind, plus a read-only legacy one.
class TDefined : public TPersistent {
public:
    int number = 0;
    std::string text;
    std::vector<std::string> list;
    std::string blob;
    bool flag = false;
    double ratio = 0;
    std::string legacy;

    void DefineProperties(TFiler* filer) override {
        filer->DefineProperty("Number", {this, &TDefined::readNumber}, {this, &TDefined::writeNumber}, number != 0);
        filer->DefineProperty("List", {this, &TDefined::readList}, {this, &TDefined::writeList}, !list.empty());
        filer->DefineBinaryProperty("Blob", {this, &TDefined::readBlob}, {this, &TDefined::writeBlob}, !blob.empty());
        filer->DefineProperty("Legacy", {this, &TDefined::readLegacy}, nullptr, false);
    }

private:
    void readNumber(TReader* r) {
        r->ReadListBegin();
        number = r->ReadInteger();
        text = r->ReadString();
        flag = r->ReadBoolean();
        ratio = r->ReadFloat();
        r->ReadListEnd();
    }
    void writeNumber(TWriter* w) {
        w->WriteListBegin();
        w->WriteInteger(number);
        w->WriteString(text);
        w->WriteBoolean(flag);
        w->WriteFloat(ratio);
        w->WriteListEnd();
    }
    void readList(TReader* r) {
        r->ReadListBegin();
        while (!r->EndOfList()) list.push_back(r->ReadIdent());
        r->ReadListEnd();
    }
    void writeList(TWriter* w) {
        w->WriteListBegin();
        for (auto& s : list) w->WriteIdent(s);
        w->WriteListEnd();
    }
    void readBlob(TStream* s) {
        blob.assign(static_cast<size_t>(s->Size()), '\0');
        s->ReadBuffer(&blob[0], static_cast<int>(blob.size()));
    }
    void writeBlob(TStream* s) { s->WriteBuffer(blob.data(), static_cast<int>(blob.size())); }
    void readLegacy(TReader* r) { legacy = r->ReadString(); }
};

TEST(Filer, DefinedPropertiesRoundTrip) {
    TDefined source;
    source.number = -12;
    source.text = std::string("with\0zero", 9);
    source.flag = true;
    source.ratio = 0.25;
    source.list = {"clRed", "True", "other"};
    source.blob = std::string("\x00\x01\xff", 3);
    source.legacy = "never written";
    TMemoryStream stream;
    WriteDefinedProperties(&stream, &source);
    stream.Position = 0;
    TDefined copy;
    ReadDefinedProperties(&stream, &copy);
    EXPECT_EQ(copy.number, -12);
    EXPECT_EQ(copy.text, source.text);
    EXPECT_TRUE(copy.flag);
    EXPECT_DOUBLE_EQ(copy.ratio, 0.25);
    EXPECT_EQ(copy.list, source.list);
    EXPECT_EQ(copy.blob, source.blob);
    EXPECT_EQ(copy.legacy, "") << "a property without a writer is not written";
    EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(Filer, LegacyPropertyReadsAndUnknownNameRaises) {
    auto streamWith = [](const std::string& name) {
        auto* stream = new TMemoryStream;
        TWriter writer(stream);
        unsigned char length = static_cast<unsigned char>(name.size());
        stream->WriteBuffer(&length, 1);
        stream->WriteBuffer(name.data(), static_cast<int>(name.size()));
        writer.WriteString("old data");
        unsigned char end = 0;
        stream->WriteBuffer(&end, 1);
        stream->Position = 0;
        return stream;
    };
    TDefined target;
    std::unique_ptr<TMemoryStream> legacy(streamWith("Legacy"));
    ReadDefinedProperties(legacy.get(), &target);
    EXPECT_EQ(target.legacy, "old data");
    std::unique_ptr<TMemoryStream> unknown(streamWith("Mystery"));
    EXPECT_THROW(ReadDefinedProperties(unknown.get(), &target), EReadError);
    std::unique_ptr<TMemoryStream> truncated(streamWith("Legacy"));
    truncated->Size = 10;
    EXPECT_THROW(ReadDefinedProperties(truncated.get(), &target), EReadError);
}

}  // namespace
