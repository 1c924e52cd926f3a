#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "container/legacy/container_format.h"
#include "container/legacy/legacy_reader.h"
#include "container/path_helpers.h"
#include "container/wipe_record.h"
#include "tests/engine_fixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class EncoderTest : public EngineFixture {
  protected:
    // The container's records, names decoded.
    std::vector<std::pair<std::string, EntryRecord>> Records(const std::string& container) {
        const auto bytes = ContainerBytes(container);
        MemoryByteSource source(bytes);
        ContainerIndex index = ReadContainerIndex(source).value();
        std::vector<std::pair<std::string, EntryRecord>> records;
        for (const EntryRecord& record : index.records)
            records.emplace_back(tables.DesEnc(record.EncodedName, key), record);
        return records;
    }
};

// Its folders and a file read-only: they are emptied and removed all the same.
TEST_F(EncoderTest, WalkOrderRemovalListAndWipeFollowTheWorkedExample) {
    temp.Write("T/f1", "uno");
    temp.Write("T/f2", "dos");
    temp.Write("T/A/a0", "a");  // sorts before A1, yet subfolders come first
    temp.MakeFolder("T/A/A1");
    temp.MakeFolder("T/B");
    for (const char* folder : {"T/A/A1", "T/A", "T/B", "T"})
        chmod((temp.native + "/" + folder).c_str(), 0555);
    chmod((temp.native + "/T/f1").c_str(), 0444);
    std::vector<std::string> found;
    before_wipe = [&](const FoundList& list) {
        for (std::size_t i = 0; i < list.size(); ++i)
            found.push_back(list.Path(i));
    };

    const RunResult result = Encode("T");
    ASSERT_EQ(result.outcome, Outcome::kDone);
    EXPECT_FALSE(result.left_behind);
    const std::string T = Path("T");
    EXPECT_EQ(found, (std::vector<std::string>{T + "\\A\\A1\\", T + "\\A\\a0", T + "\\B\\",
                                               T + "\\f1", T + "\\f2"}));
    EXPECT_EQ(state.RemovalList,
              (std::vector<std::string>{T + "\\.", T + "\\..", T + "\\A", T + "\\B", T + "\\f1",
                                        T + "\\f2", T + "\\A", T + "\\A\\A1", T + "\\B"}));
    // The records keep the found order, relative to the folder.
    std::vector<std::string> names;
    for (const auto& [name, record] : Records("T.zol"))
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"\\A\\A1\\", "\\A\\A0", "\\B\\", "\\F1", "\\F2"}));
    // Wiped and removed; the parent stays, the container (read above) stays.
    EXPECT_FALSE(temp.Exists("T"));
    EXPECT_TRUE(host.unloaded);
    EXPECT_EQ(host.captions, std::vector<std::string>{"Codificando..."});
    EXPECT_TRUE(host.messages.empty());
}

// The engine's whole output against bytes worked out by hand from the
// format's rules (tests/data/README.md), not by our own code; and those
// bytes restored.
TEST_F(EncoderTest, OneShortFileAndOneEmptyFolderGiveTheGoldenContainerAndBack) {
    std::ifstream file(VELMORA_TEST_DATA "/short-file-and-empty-folder.zol", std::ios::binary);
    const std::string golden(std::istreambuf_iterator<char>(file), {});
    ASSERT_EQ(golden.size(), 164u);
    temp.Write("D/a.txt", "xyz");
    temp.MakeFolder("D/vacia");
    ASSERT_EQ(Encode("D", {.keep_originals = true}).outcome, Outcome::kDone);
    EXPECT_EQ(temp.Read("D.zol"), golden);
    EXPECT_EQ(temp.Read("D/a.txt"), "xyz");  // kept exactly as it was

    // An older, longer container's tail after it changes nothing.
    temp.Write("G.zol", golden + std::string(1000, 'U'));
    ASSERT_EQ(Decode("G.zol").outcome, Outcome::kDone) << host.messages.at(0);
    EXPECT_EQ(temp.Read("G/A.TXT"), "xyz");
    EXPECT_TRUE(fs::is_directory(temp.native + "/G/VACIA"));
}

// The width code follows the file's full path (folder path + "\" + name),
// counted in characters: only stored names need Windows-1252, so the
// folder's parent and the container's folder, here without a form in it,
// are used as the system gives them (velmora-cli's round trip restores
// under such a folder). Records of 70, 134 and 261 bytes end with the size.
TEST_F(EncoderTest, WidthCodeSwitchesOnFullPathLengthAndEveryWidthReadsBack) {
    const std::string parent = "\xC5\x82ukasz";  // "łukasz": 6 characters, 7 bytes
    temp.MakeFolder(parent);
    const std::string outside =
        files.FromSystemPath(temp.native + "/" + parent, FileSystem::Given::kOutsideFolder).value();
    // The characters before the file's name: the temporary folder's, "/łukasz/W/".
    const std::size_t prefix = temp.native.size() + 10;
    for (const auto& [length, code, record] :
         std::vector<std::tuple<std::size_t, int, std::size_t>>{
             {64, 0, 70}, {65, 1, 134}, {128, 1, 134}, {129, 2, 261}}) {
        ASSERT_GT(length, prefix);
        const std::string name(length - prefix, 'n');
        temp.Write(parent + "/W/" + name, "x");
        const RunResult result = EncodeAt(
            files.FromSystemPath(temp.native + "/" + parent + "/W", FileSystem::Given::kEntry)
                .value(),
            {.container_folder = outside});
        ASSERT_EQ(result.outcome, Outcome::kDone) << host.messages.at(0);
        const auto bytes = ContainerBytes(parent + "/W.zol");
        EXPECT_EQ(bytes[5], code) << "full path of " << length;
        ASSERT_EQ(bytes.size(), 21 + record + 1) << length;
        EXPECT_EQ(bytes[21 + record - 4], 1) << length;
        fs::rename(temp.native + "/" + parent + "/W.zol", temp.native + "/W.zol");
        ASSERT_EQ(Decode("W.zol").outcome, Outcome::kDone) << length;
        EXPECT_EQ(temp.Read("W/" + std::string(name.size(), 'N')), "x") << length;
        temp.Remove({"W", parent + "/W"});
    }
}

TEST_F(EncoderTest, AttributesAreClampedOnlyInWidthCodeOneAndTopLevelResetIsExact) {
    temp.Write("R/ro.txt", "r");
    chmod((temp.native + "/R/ro.txt").c_str(), 0444);  // read-only archive: 33
    temp.Write("R/oculta/z", "z");
    temp.Write("R/oculta/dentro/x", "x");
    temp.Write("R/sistema/y", "y");
    ASSERT_TRUE(files.SetAttr(Path("R"), kHidden).ok());                                // 18
    ASSERT_TRUE(files.SetAttr(Path("R\\oculta"), kHidden).ok());                        // 18
    ASSERT_TRUE(files.SetAttr(Path("R\\sistema"), kHidden | kSystem | kArchive).ok());  // 54
    ASSERT_TRUE(files.SetAttr(Path("R\\oculta\\dentro"), kHidden).ok());  // below the top
    const TreeSnapshot before = Snapshot(temp.native + "/R");

    // The records carry the walk's resets (the folder itself through its
    // "." entry); with --keep the disk is not changed at all.
    ASSERT_EQ(Encode("R", {.keep_originals = true}).outcome, Outcome::kDone);
    EXPECT_EQ(Snapshot(temp.native + "/R"), before);
    auto record_of = [&](const std::string& name) {
        for (const auto& [stored, record] : Records("R.zol"))
            if (stored == name)
                return record;
        return EntryRecord{};
    };
    EXPECT_EQ(ParseHeader(ContainerBytes("R.zol").data()).FolderAttributes, kFolder);
    EXPECT_EQ(record_of("\\OCULTA\\Z").ParentAttributes, kFolder);
    EXPECT_EQ(record_of("\\OCULTA\\DENTRO\\X").ParentAttributes, kFolder | kHidden);
    EXPECT_EQ(record_of("\\SISTEMA\\Y").ParentAttributes, kFolder | 38);
    EXPECT_EQ(record_of("\\RO.TXT").EntryAttributes, 33);
    EXPECT_EQ(record_of("\\SISTEMA\\Y").EntryAttributes, 32);

    // A long name moves every record to width code 1, where 33 becomes 32.
    fs::remove(temp.native + "/R.zol");
    temp.Write("R/" + std::string(70, 'l'), "l");
    ASSERT_EQ(Encode("R", {.keep_originals = true}).outcome, Outcome::kDone);
    EXPECT_EQ(ContainerBytes("R.zol")[5], 1);
    EXPECT_EQ(record_of("\\RO.TXT").EntryAttributes, 32);
    for (const auto& [stored, record] : Records("R.zol"))
        EXPECT_LE(record.ParentAttributes, 32);
}

// "Cancelar" removes the unfinished container; the close box, once it is
// being written, keeps it.
TEST_F(EncoderTest, CancelAtAnyPumpRemovesTheUnfinishedContainerTheCloseBoxKeepsIt) {
    temp.Write("C/a", std::string(70000, 'a'));
    temp.Write("C/b/c", std::string(200000, 'c'));
    temp.Write("C/d", "d");
    const TreeSnapshot before = Snapshot(temp.native + "/C");
    // Count the pumps of a run that wipes nothing, then cancel at each one.
    ASSERT_EQ(Encode("C", {.keep_originals = true}).outcome, Outcome::kDone);
    const int pumps = host.pumps;
    ASSERT_GT(pumps, 8);
    fs::remove(temp.native + "/C.zol");
    for (int at = 1; at <= pumps; ++at) {
        host = TestHost(files, cancel);
        host.cancel_at_pump = at;
        EXPECT_THROW(Encode("C", {.keep_originals = true}), ProgramEnded) << at;
        EXPECT_FALSE(temp.Exists("C.zol") || temp.Exists("C.zol.parcial"))
            << "cancel at pump " << at;
        EXPECT_EQ(Snapshot(temp.native + "/C"), before) << "cancel at pump " << at;
    }
    host = TestHost(files, cancel);
    host.on_pump = [&](int) {
        if (temp.Exists("C.zol.parcial"))
            host.EndProgram();
    };
    EXPECT_THROW(Encode("C"), ProgramEnded);
    EXPECT_TRUE(temp.Exists("C.zol.parcial"));
    EXPECT_FALSE(temp.Exists("C.zol"));
    EXPECT_EQ(Snapshot(temp.native + "/C"), before);
}

TEST_F(EncoderTest, CancelDuringTheWipeFinishesTheBatchAndKeepsTheContainer) {
    auto make = [&] {
        temp.Remove({"Z", "Z.zol"});
        temp.Write("Z/a", std::string(200000, 'a'));  // several chunks, a pump after each
        temp.Write("Z/b", "b");
        temp.Write("Z/sub/c", "c");
        temp.Write("Z/sub/d", std::string(70000, 'd'));
    };
    make();
    const TreeSnapshot original = Snapshot(temp.native + "/Z");
    int packing = 0;
    before_wipe = [&](const FoundList&) { packing = host.pumps; };
    ASSERT_EQ(Encode("Z", {.wipe_batch_files = 2}).outcome, Outcome::kDone);
    const int wiping = host.pumps - packing;
    const auto container = ContainerBytes("Z.zol");
    ASSERT_GT(wiping, 6);
    for (int at = 1; at <= wiping; ++at) {
        make();
        host = TestHost(files, cancel);
        before_wipe = [&](const FoundList&) { host.cancel_at_pump = host.pumps + at; };
        EXPECT_THROW(Encode("Z", {.wipe_batch_files = 2}), ProgramEnded) << at;
        EXPECT_EQ(ContainerBytes("Z.zol"), container) << at;
        // What is still there is exactly as it was: nothing is left
        // overwritten but not deleted.
        for (const auto& [path, description] : Snapshot(temp.native + "/Z"))
            EXPECT_EQ(description, original.at(path)) << path << ", cancel at " << at;
        ExpectSaidOnce("completo y se conserva", std::to_string(at));
        EXPECT_FALSE(temp.Exists(WipeRecordName("Z.zol"))) << at;
    }
}

// What a kill during the wipe leaves (its record beside the container, some
// files overwritten) makes the next encode of the folder say so, naming
// the overwritten files, or say that the container has changed since; it
// touches nothing either way. A record whose folder is gone (a kill after
// the last delete) is removed by the next encode or decode, said once; a
// decode beside the half-wiped folder restores the complete copy beside it,
// says which is which, and removes the record.
TEST_F(EncoderTest, AnInterruptedWipeIsExplainedByTheNextRun) {
    struct Case {
        const char* what;
        bool change_container, remove_folder, decode;
        const char* expected;
    };
    const Case cases[] = {
        {"the checked container", false, false, false,
         "sobrescritos (sus datos est\xE1n en el contenedor): "},
        {"a changed container", true, false, false, "ya no es el contenedor"},
        {"no folder, encoded", false, true, false, "ya no existe"},
        {"no folder, decoded", false, true, true, "ya no existe"},
        {"the half-wiped folder, decoded", false, false, true, "a medio borrar"},
    };
    const std::string record_name = WipeRecordName("W.zol");
    for (const Case& c : cases) {
        temp.Remove({"W", "W (2)", "W.zol", record_name});
        temp.Write("W/intacto", "uno");
        temp.Write("W/sub/sobrescrito", "dos");
        ASSERT_EQ(Encode("W", {.keep_originals = true}).outcome, Outcome::kDone) << c.what;
        WipeRecord record(files);
        ASSERT_TRUE(record.Write(Path("W.zol")).ok()) << c.what;
        temp.Write("W/sub/sobrescrito", "\xFF\xFF\xFF");
        if (c.change_container)
            std::ofstream(temp.native + "/W.zol", std::ios::app) << "x";
        if (c.remove_folder)
            fs::remove_all(temp.native + "/W");
        if (c.remove_folder || c.decode) {
            host = TestHost(files, cancel);
            const RunResult result = c.decode ? Decode("W.zol") : Encode("W");
            EXPECT_EQ(result.outcome, c.decode ? Outcome::kDone : Outcome::kRefused) << c.what;
            const std::string said = ::testing::PrintToString(host.messages);
            EXPECT_NE(said.find(c.expected), std::string::npos) << c.what << ": " << said;
            EXPECT_FALSE(temp.Exists(record_name)) << c.what;
            EXPECT_EQ(temp.Exists("W.zol"), !c.decode) << c.what;
            if (c.decode && !c.remove_folder) {
                EXPECT_NE(said.find("W (2)"), std::string::npos) << said;
                EXPECT_EQ(temp.Read("W (2)/SUB/SOBRESCRITO"), "dos");
                EXPECT_EQ(temp.Read("W/sub/sobrescrito"), "\xFF\xFF\xFF");
            }
            continue;
        }
        ExpectNothingTouched(c.what, [&] { return Encode("W"); });
        EXPECT_NE(host.messages[0].find(c.expected), std::string::npos) << host.messages[0];
        EXPECT_EQ(host.messages[0].find("intacto"), std::string::npos) << host.messages[0];
        EXPECT_EQ(host.messages[0].find("sub/sobrescrito") != std::string::npos,
                  !c.change_container)
            << host.messages[0];
    }
}

// The wipe overwrites in the chunks the rounding rule gives and flushes each
// batch once, between its overwrites and its deletes; the progress marks
// grow per file packed and never reach ten.
TEST_F(EncoderTest, WipeChunksBatchesAndProgressMarksFollowTheirRules) {
    const std::vector<std::pair<const char*, std::size_t>> sizes = {
        {"a", 100000}, {"b", 70000}, {"c", 98303}, {"d", 0}, {"e", 65535}};
    for (const auto& [name, size] : sizes)
        temp.Write(std::string("S/") + name, std::string(size, *name));
    ASSERT_EQ(Encode("S", {.wipe_batch_files = 2}).outcome, Outcome::kDone);
    using Sizes = std::vector<std::size_t>;
    EXPECT_EQ(files.writes[Path("S\\a")], (Sizes{65535, 34465}));
    EXPECT_EQ(files.writes[Path("S\\b")], (Sizes{70000}));
    EXPECT_EQ(files.writes[Path("S\\c")], (Sizes{65535, 32768}));
    EXPECT_EQ(files.writes[Path("S\\d")], Sizes{});
    EXPECT_EQ(files.writes[Path("S\\e")], (Sizes{65535}));
    EXPECT_EQ(state.TotalBytes, 333838);
    EXPECT_EQ(host.marks, (std::vector<std::int64_t>{2, 5, 8, 8, 9}));
    std::vector<std::string> wipe;
    for (const std::string& event : files.log)
        if (event.find(".zol") == std::string::npos)
            wipe.push_back(
                event == "sync" ? event : event.substr(0, event.find(' ')) + " " + Nombre(event));
    // The wipe's record is written before the first original is touched
    // and deleted once the last one is.
    const std::string record = WipeRecordName("S.zol");
    EXPECT_EQ(wipe, (std::vector<std::string>{"write " + record, "write a", "write a", "write b",
                                              "sync", "delete a", "delete b", "write c", "write c",
                                              "sync", "delete c", "delete d", "write e", "sync",
                                              "delete e", "delete " + record}));
    EXPECT_FALSE(temp.Exists("S"));
    EXPECT_TRUE(host.messages.empty());
}

// Refused (permissions, read-only) or busy (held by another program, a
// program being run): the same message; only a refused file has its
// attributes reset to be tried again, a busy one is left as it is.
// velmora-cli says what really happened: deleted without being overwritten
// (the delete is tried all the same).
TEST_F(EncoderTest, AccessErrorOnOverwriteShowsTheMessageAndGoesOn) {
    for (const auto& [error_number, resets, report] :
         std::vector<std::tuple<int, int, bool>>{{EBUSY, 0, false},
                                                 {ETXTBSY, 0, false},
                                                 {EACCES, 1, false},
                                                 {EPERM, 1, false},
                                                 {EBUSY, 0, true}}) {
        SCOPED_TRACE(std::to_string(error_number) + (report ? ", reported" : ""));
        fs::remove(temp.native + "/E.zol");
        temp.Write("E/bloqueado", "b");
        temp.Write("E/libre", "l");
        Fresh();
        // The encoder reads through the same seam: the failure starts with the wipe.
        before_wipe = [&, code = error_number](const FoundList&) {
            files.fail.open[Path("E\\bloqueado")] = code;
        };
        int reset = 0;
        files.before = [&](const std::string& operation, const std::string& path) {
            reset += operation == "set attributes" && path == Path("E\\bloqueado");
        };
        ASSERT_EQ(Encode("E", {.report_leftovers = report}).outcome, Outcome::kDone);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(reset, resets);
        EXPECT_FALSE(temp.Exists("E/libre"));
        if (report) {
            EXPECT_NE(host.messages[0].find("Se ha borrado sin sobrescribir"), std::string::npos);
            EXPECT_FALSE(temp.Exists("E"));
            continue;
        }
        EXPECT_EQ(host.messages[0], "Error al intentar eliminar el archivo " +
                                        files.DisplayPath(Path("E\\bloqueado")) +
                                        "\nEl archivo est\xE1 siendo utilizado");
        EXPECT_EQ(host.icons[0], MessageIcon::kCritical);
    }
}

// What only a normal account meets: root may write regardless of
// permissions, so this case skips under root (the test programs run a
// second time as an unprivileged user). A file that cannot be read:
// FaultInjectionTest.
TEST_F(EncoderTest, AContainerBesideWhichNothingMayBeCreatedIsKept) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root ignores permissions; the unprivileged run covers this";
    temp.Write("P/T/a", "a");
    temp.Write("P/T/sub/b", "b");
    ASSERT_EQ(Encode("P\\T", {.keep_originals = true, .container_folder = Path("P")}).outcome,
              Outcome::kDone);
    chmod((temp.native + "/P").c_str(), 0555);
    ExpectNothingTouched(
        "read-only folder", [&] { return Decode("P\\T.zol"); }, Outcome::kFailed);
}

// Each of these trees is refused before anything is touched. Where the test
// may mount, so is a tree holding a mount point: bind mounts keep the device
// number, so only the mount itself tells them apart.
TEST_F(EncoderTest, UnsafeTreesAndMountPointsAreRefusedWithNothingTouched) {
    temp.Write("outside/file", "fuera");
    temp.Write("outside/folder/x", "x");
    const std::string t = temp.native + "/U", out = temp.native + "/outside";
    auto file = [&](const std::string& name) {
        return [&, name] { temp.Write("U/" + name, "x"); };
    };
    bool unmounted = false;  // the mount just tried needs privileges this run does not have
    auto mounted = [&](const std::string& source, const char* type, unsigned long flags,
                       bool on_file) {
        return [&, source, type, flags, on_file] {
            on_file ? temp.Write("U/montado", "") : temp.MakeFolder("U/montado");
            unmounted = mount(source.c_str(), (t + "/montado").c_str(), type, flags, nullptr) != 0;
        };
    };
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"link to a file outside", [&] { fs::create_symlink(out + "/file", t + "/l"); }},
        {"link to a folder outside",
         [&] { fs::create_directory_symlink(out + "/folder", t + "/sub/l"); }},
        {"hard link to a file outside", [&] { fs::create_hard_link(out + "/file", t + "/h"); }},
        {"pipe", [&] { mkfifo((t + "/sub/fifo").c_str(), 0644); }},
        {"control character", file("a\tb")},
        {"colon", file("a:b")},
        {"names equal once upper-cased", [&] { file("sub/Hola")(), file("sub/HOLA")(); }},
        {"name ending in a space", file("fin ")},
        {"name outside Windows-1252", file("\xC4\x81")},
        {"backslash in a name", file("a\\b")},
        {"container already there", [&] { temp.Write("U.zol", "older"); }},
        {"another file system", mounted("velmora-test", "tmpfs", 0, false)},
        {"bind mount of a folder outside", mounted(out + "/folder", nullptr, MS_BIND, false)},
        {"bind mount of a file outside", mounted(out + "/file", nullptr, MS_BIND, true)},
    };
    std::size_t trees = 0, mounts = 0;
    for (const auto& [what, make] : cases) {
        temp.Remove({"U", "U.zol"});
        temp.Write("U/a.txt", "a");
        temp.MakeFolder("U/sub");
        ASSERT_TRUE(files.SetAttr(Path("U\\sub"), kHidden).ok());  // would be reset by the walk
        make();
        if (std::exchange(unmounted, false))
            continue;
        ExpectNothingTouched(what, [&] { return Encode("U"); });
        if (umount2((t + "/montado").c_str(), MNT_DETACH) == 0)
            ++mounts;
        else
            ++trees;
    }
    EXPECT_EQ(temp.Read("outside/file"), "fuera");
    std::printf("hostile trees: %zu refused before anything was touched\n", trees);
    if (mounts > 0)
        std::printf(
            "mounts: %zu mount points inside the tree refused before anything was touched\n",
            mounts);
}

// Keys the format cannot give back, the root, and a container inside the
// folder.
TEST_F(EncoderTest, UngivableKeysRootAndContainerInsideTheFolderAreRefused) {
    temp.Write("K/nombre", "n");
    temp.Write("V/sub/a", "a");
    const std::string right_key = key;
    key = DeriveKey("\xC0]x").value();
    ExpectNothingTouched("a check value beginning with a space", [&] { return Encode("K"); });
    // The stored "\nombre" would begin with a space: "\" (92) + 196 wraps to 32.
    key = std::string(15, 'A');
    key[1] = static_cast<char>(196);
    ExpectNothingTouched("a stored name beginning with a space", [&] { return Encode("K"); });
    key = right_key;
    ExpectNothingTouched("the root", [&] { return EncodeAt("\\"); });
    // A folder named ".." would give the container "...zol", which names no
    // folder to restore.
    ExpectNothingTouched("..", [&] { return EncodeAt(Path("V\\sub\\..")); });

    // Judged by the real folders: a link into the folder, and the folder
    // named through a linked parent while the working folder is inside it.
    fs::create_directory_symlink(temp.native + "/V/sub", temp.native + "/enlace");
    fs::create_directory_symlink(temp.native, temp.native + "/padre");
    for (const char* inside : {"V", "V\\sub", "enlace"})
        ExpectNothingTouched(inside,
                             [&] { return Encode("V", {.container_folder = Path(inside)}); });
    WorkingFolder inside(temp.native + "/V/sub");
    ExpectNothingTouched("through a link", [&] {
        return EncodeAt(Path("padre\\V"), {.container_folder = files.CurrentFolder().value()});
    });
}

}  // namespace
}  // namespace velmora
