// Writes the seed corpus of every fuzz target with the project's own writers,
// so the fuzzer starts from real files and streams: vault texts and bodies,
// key files of every layout, key backups, encrypted-file headers, LZRW blocks,
// compressed streams and string lists, buffer streams, coded rows and point
// operations. Usage: fuzz_seeds <folder>; each target's seeds go to
// <folder>/<target>/.
#include "components/runtime/QCLDynLIFOBuffer.h"
#include "components/runtime/qclprocs.h"
#include "components/runtime/qclstreamutils.h"
#include "components/runtime/qclstrings.h"
#include "fileenc/EncryptedFile.h"
#include "vault/VaultFiles.h"
#include "vault/VaultText.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string root;

void writeSeed(const std::string& target, const std::string& name, const Bytes& bytes) {
    const std::string folder = root + "/" + target;
    mkdir(folder.c_str(), 0755);
    const std::string path = folder + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())) {
        std::fprintf(stderr, "fuzz_seeds: cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::fclose(f);
}

template <typename Container>
Bytes bytesOf(const Container& c) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(c.data());
    return Bytes(p, p + c.size());
}

Bytes streamBytes(TMemoryStream& s) {
    const auto* p = static_cast<const std::uint8_t*>(s.Memory());
    return Bytes(p, p + s.Size);
}

Bytes randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(rng());
    return b;
}

std::string recordText(std::size_t n) {
    std::string s;
    for (std::size_t i = 0; s.size() < n; ++i) s += "entry " + std::to_string(i % 23) + " of the list\r\n";
    s.resize(n);
    return s;
}

// A small vault as the program would hold it: escapes, empty values, two categories.
SecretText sampleVaultText(bool hidePwords) {
    VaultContent content;
    content.hidePwords = hidePwords;
    content.addEncryptedFilesCategory()->insertRow({"C:\\Users\\me\\tax.pdf"});
    category* logins = content.addCategory("Web \"Logins\"");
    logins->addHeader("Site", htOneLine, hsShown, 120);
    logins->addHeader("Password", htOneLine, hsSecret, 80);
    logins->addHeader("Notes", htParagraph, hsEditorOnly);
    logins->insertRow({"example.org", "a>b\"c", "line one\r\nline two"});
    logins->insertRow({"", "", ""});
    category* todo = content.addCategory("To Do");
    todo->addHeader("Task", htOneLine, hsShown, 107);
    todo->insertRow({"-42"});
    return buildVaultText(content.hidePwords, content.encryptedFiles, content.userCategories);
}

void vaultSeeds() {
    const SecretText texts[] = {sampleVaultText(false), sampleVaultText(true), SecretText()};
    const unsigned char digest[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    for (int i = 0; i < 3; ++i) {
        writeSeed("vault_text", "text" + std::to_string(i), bytesOf(texts[i]));
        Bytes file(vaultfile::HeadBytes, 0x5A);
        const SecretBytes body = vaultfile::buildBody(digest, texts[i].data(), texts[i].size());
        file.insert(file.end(), body.begin(), body.end());
        writeSeed("vault_body", "body" + std::to_string(i), file);
    }
}

Bytes keyFile(std::size_t layout) {
    const unsigned char id[16] = {0xA0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0xAF};
    Bytes image;
    if (layout == vaultfile::KeyFileBytes) image = bytesOf(vaultfile::buildKeyHeader(id));
    const Bytes block = randomBytes(vaultfile::KeyBlockBytes, 7);
    image.insert(image.end(), block.begin(), block.end());
    if (layout != vaultfile::OldKeyFileBytes) {
        const Bytes chain = randomBytes(vaultfile::ChainBytes, 8);
        image.insert(image.end(), chain.begin(), chain.end());
    }
    return image;
}

void keySeeds() {
    for (std::size_t layout : {vaultfile::KeyFileBytes, vaultfile::OldChainKeyFileBytes, vaultfile::OldKeyFileBytes}) {
        const Bytes image = keyFile(layout);
        writeSeed("key_file", "key" + std::to_string(layout), image);
        Bytes backup = {0x11, 0x07, 0xEA, 0x3D};
        const Bytes random = randomBytes(8, static_cast<unsigned>(layout));
        backup.insert(backup.end(), random.begin(), random.end());
        backup.insert(backup.end(), image.begin(), image.end());
        writeSeed("key_backup", "backup" + std::to_string(layout), backup);
    }
}

void encryptedHeaderSeeds() {
    encfile::EncryptedFileHeader header;
    header.plainSize = 70000;
    header.chunkSize = encfile::chunkSizeFor(70000);
    header.encryptedLength = encfile::storedEncryptedLength(70512);
    header.attributes = 0x20;
    for (int i = 0; i < 16; ++i) header.vaultID[i] = static_cast<unsigned char>(0xC0 + i);
    const std::string names[] = {"My Vault", std::string(404, 'n'), ""};
    for (int i = 0; i < 3; ++i) {
        header.vaultName = names[i];
        Bytes bytes(encfile::HeaderSize);
        header.encode(bytes.data());
        const Bytes tail = randomBytes(64, 9);
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        writeSeed("encrypted_header", "header" + std::to_string(i), bytes);
    }
}

Bytes compressBlock(const Bytes& input) {
    Bytes block(input.size() + 6);
    const std::uint16_t n = QCLLZRWCompress(input.data(), block.data(), static_cast<std::uint16_t>(input.size()));
    block.resize(n);
    return block;
}

void lzrwSeeds() {
    const std::string text = recordText(3000);
    writeSeed("lzrw_block", "text", compressBlock(Bytes(text.begin(), text.end())));
    writeSeed("lzrw_block", "run", compressBlock(Bytes(500, 'x')));
    writeSeed("lzrw_block", "stored", compressBlock(randomBytes(300, 3)));
    writeSeed("lzrw_block", "mixed", compressBlock([] {
        Bytes b = randomBytes(200, 4);
        b.insert(b.end(), 100, 0);
        return b;
    }()));
}

Bytes withMode(std::uint8_t mode, TMemoryStream& stream) {
    Bytes b{mode};
    const Bytes s = streamBytes(stream);
    b.insert(b.end(), s.begin(), s.end());
    return b;
}

void streamSeeds() {
    const std::string text = recordText(70000);
    TMemoryStream source, dest;
    source.WriteBuffer(text.data(), static_cast<int>(text.size()));
    source.Position = 0;
    SaveCompressedStream(&source, &dest, source.Size);
    writeSeed("compressed_stream", "stream", withMode(0, dest));
    for (bool compressed : {false, true}) {
        TStringList list;
        list.Add("first line");
        list.Add("");
        list.Add("third, with a \"quote\"");
        TMemoryStream field;
        stWriteStringList(&field, &list, compressed);
        writeSeed("compressed_stream", compressed ? "list_compressed" : "list_plain",
                  withMode(compressed ? 3 : 1, field));
    }
}

void bufferSeeds() {
    TQCLDynLIFOBuffer buffer;
    buffer.OnItemSize = [](TObject*, void* item, int& size) {
        size = static_cast<int>(std::strlen(static_cast<char*>(item)) + 1);
    };
    for (const char* text : {"typed a word", "", "deleted a line"}) {
        void* p = std::malloc(std::strlen(text) + 1);
        std::memcpy(p, text, std::strlen(text) + 1);
        buffer.Put(p);
    }
    TMemoryStream stream;
    buffer.SaveToStream(&stream);
    writeSeed("buffer_stream", "unlimited", withMode(0, stream));
    writeSeed("buffer_stream", "two_circle", withMode(3 | 8, stream));
}

void rowSeeds() {
    const std::string fields[] = {"Site", "", "user@example.org", "12"};
    const std::int32_t numbers[] = {1, -2, 300000};
    const std::string rows[] = {QCLCodeString(fields, 3, ';'), QCLCodeString(fields, 3, '\t'),
                                QCLCodeInt(numbers, 2, ',')};
    const char delimiters[] = {';', '\t', ','};
    for (int i = 0; i < 3; ++i) {
        Bytes b{static_cast<std::uint8_t>(delimiters[i]), static_cast<std::uint8_t>(i + 1)};
        b.insert(b.end(), rows[i].begin(), rows[i].end());
        writeSeed("row_codec", "row" + std::to_string(i), b);
    }
}

void pointSeeds() {
    Bytes ops;
    auto op = [&](std::uint8_t kind, std::int32_t x, std::int32_t y, std::int8_t index) {
        std::uint8_t record[9];
        std::memcpy(record, &x, 4);
        std::memcpy(record + 4, &y, 4);
        record[0] = static_cast<std::uint8_t>((record[0] / 5) * 5 + kind);
        record[8] = static_cast<std::uint8_t>(index);
        ops.insert(ops.end(), record, record + 9);
    };
    op(0, 10, 20, 0);
    op(0, -1, -32768, 0);
    op(1, 0, 0, 1);
    op(2, 70000, 5, 0);
    op(3, 0, 0, 0);
    op(4, 0, 0, 0);
    op(1, 0, 0, -1);
    writeSeed("point_list", "operations", ops);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    root = argv[1];
    mkdir(root.c_str(), 0755);
    vaultSeeds();
    keySeeds();
    encryptedHeaderSeeds();
    lzrwSeeds();
    streamSeeds();
    bufferSeeds();
    rowSeeds();
    pointSeeds();
    return 0;
}
