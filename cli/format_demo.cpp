// Shows the cipher and the container format at work: writes a small
// container (one empty folder, one short file) with the format's own record
// writers, then reads it back through the POSIX file system and the checking
// reader, and decodes its names and data.
#include <cstdio>
#include <string>
#include <vector>

#include "cipher/cipher_tables.h"
#include "cipher/key_derivation.h"
#include "container/container_format.h"
#include "container/data_coding.h"
#include "container/file_byte_source.h"
#include "container/password_check.h"
#include "platform/names.h"
#include "platform/posix/posix_file_system.h"

using namespace velmora;

namespace {

void Hex(const std::string& label, const std::string& bytes) {
    std::printf("%-22s", label.c_str());
    for (unsigned char c : bytes)
        std::printf("%02x ", c);
    std::printf("\n");
}

int Fail(const Error& error) {
    std::fprintf(stderr, "%s\n", DisplayUtf8(error.message).c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora-format-demo FOLDER\n");
        return 2;
    }
    CipherTables tables([](const std::string& text) { std::printf("%s\n", text.c_str()); });
    tables.CrearBuffer();
    const std::string password = "demo";
    const std::string key = DeriveKey(password).value();
    Hex("key of \"demo\":", key);
    Hex("check value:", MakePasswordCheck(tables, key));

    const std::vector<std::pair<std::string, std::string>> entries = {{"\\vac\xEDo\\", ""},
                                                                      {"\\hola.txt", "hola"}};
    std::vector<std::uint8_t> image;
    const auto head = SerializeHeader({16, 2, 0, MakePasswordCheck(tables, key)});
    image.insert(image.end(), head.begin(), head.end());
    for (const auto& [name, content] : entries) {
        const bool folder = name.back() == '\\';
        const auto record =
            SerializeRecord({tables.Enc(name, key), static_cast<std::uint8_t>(folder ? 16 : 32), 16,
                             folder ? -1 : static_cast<std::int32_t>(content.size())},
                            0);
        image.insert(image.end(), record.begin(), record.end());
    }
    const KeyStream stream(tables, key);
    std::vector<std::uint8_t> data(entries[1].second.begin(), entries[1].second.end());
    EncodeFileData(data.data(), data.size(), stream);
    image.insert(image.end(), data.begin(), data.end());

    PosixFileSystem files;
    Result<std::string> folder = ProgramPath(argv[1]);
    if (!folder)
        return Fail(folder.error());
    const std::string container = folder.value() + "\\ejemplo.zol";
    (void)files.DeleteFile(container);
    Result<int> out = files.Open(container, OpenMode::kCreateNew);
    if (!out)
        return Fail(out.error());
    if (Status written = files.Write(out.value(), 0, image.data(), image.size()); !written)
        return Fail(written.error());
    files.CloseAll();
    std::printf("wrote %s (%zu bytes)\n", DisplayUtf8(files.DisplayPath(container)).c_str(),
                image.size());

    Result<int> in = files.Open(container, OpenMode::kRead);
    if (!in)
        return Fail(in.error());
    FileByteSource source(files, in.value(), files.InspectOpen(in.value())->size);
    Result<ContainerIndex> index = ReadContainerIndex(source);
    if (!index)
        return Fail(index.error());
    std::printf("entries: %d, name width code: %d, password %s\n", index->header.EntryCount,
                index->header.NameWidthCode,
                PasswordMatches(tables, index->header.PasswordCheck, key) ? "accepted" : "refused");
    std::int64_t offset = index->data_offset;
    for (const EntryRecord& record : index->records) {
        const std::string name = tables.DesEnc(record.EncodedName, key);
        std::printf("  %-16s size %3d  ", DisplayUtf8(name).c_str(), record.EntrySize);
        if (record.EntrySize > 0) {
            std::vector<std::uint8_t> bytes(static_cast<std::size_t>(record.EntrySize));
            if (Status read = source.ReadAt(offset, bytes.data(), bytes.size()); !read)
                return Fail(read.error());
            Hex("stored:", std::string(bytes.begin(), bytes.end()));
            DecodeFileData(bytes.data(), bytes.size(), stream);
            std::printf("%44s\"%s\"\n",
                        "decoded: ", std::string(bytes.begin(), bytes.end()).c_str());
            offset += record.EntrySize;
        } else {
            std::printf("(folder)\n");
        }
    }
    const bool wrong =
        PasswordMatches(tables, index->header.PasswordCheck, DeriveKey("otra").value());
    std::printf("password \"otra\" %s\n", wrong ? "accepted" : "refused");
    return 0;
}
