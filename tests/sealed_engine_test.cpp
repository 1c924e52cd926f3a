#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/engine_fixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Every entry's snapshot with its modification time, in nanoseconds.
TreeSnapshot WithTimes(const std::string& root) {
    TreeSnapshot snapshot = Snapshot(root);
    for (auto& [path, description] : snapshot)
        description +=
            " @" +
            std::to_string(fs::last_write_time(fs::path(root) / path).time_since_epoch().count());
    return snapshot;
}

void SetTime(const fs::path& path, long seconds, long nanoseconds) {
    const struct timespec times[2] = {{0, UTIME_OMIT}, {seconds, nanoseconds}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

class SealedEngineTest : public EngineFixture {
  protected:
    SealedEngineTest() { files.SetNameCoding(NameCoding::kUtf8); }
};

// Names in any language, names equal but for case, ":" and a tab, empty
// and read-only folders, dates to the nanosecond, permission bits and runs
// of zeros (left as holes: at the start, the middle and the end) all come
// back exactly, under the same name as the folder.
TEST_F(SealedEngineTest, ATreeComesBackExactlyAsItWas) {
    temp.Write("Datos/Łódź/日本/Ünïcödé ñ.txt", "こんにちは");
    const std::string zeros(200000, '\0');
    temp.Write("Datos/ceros", zeros);
    temp.Write("Datos/hueco", "principio" + zeros + "fin");
    temp.Write("Datos/cola", "principio" + zeros);
    temp.Write("Datos/Mixto/CaSe.TXT", "mayúsculas");
    temp.Write("Datos/Mixto/case.txt", "minúsculas");
    temp.Write("Datos/a:b\tc", "raro");
    temp.Write("Datos/.oculto", std::string(9000, 'o'));
    temp.Write("Datos/solo lectura/dentro", "x");
    temp.MakeFolder("Datos/vacío/más vacío");
    const fs::path root = fs::path(temp.native) / "Datos";
    fs::permissions(root / "Mixto/case.txt", fs::perms(0640));
    SetTime(root / "Łódź/日本/Ünïcödé ñ.txt", 946684800, 123456789);
    SetTime(root / "vacío/más vacío", -86400, 5);
    fs::permissions(root / "solo lectura", fs::perms(0555));
    for (const char* folder : {"Łódź/日本", "Łódź", "solo lectura", "vacío", ""})
        SetTime(root / folder, 1700000000, 42);
    const TreeSnapshot before = WithTimes(root.string());

    ASSERT_EQ(Seal("Datos").outcome, Outcome::kDone) << ::testing::PrintToString(host.messages);
    EXPECT_FALSE(temp.Exists("Datos"));
    ASSERT_TRUE(temp.Exists("Datos.zol"));

    ASSERT_EQ(Unseal("Datos.zol").outcome, Outcome::kDone)
        << ::testing::PrintToString(host.messages);
    EXPECT_EQ(WithTimes(root.string()), before);
    EXPECT_FALSE(temp.Exists("Datos.zol"));
    EXPECT_EQ(state.RestoredPath, Path("Datos") + "\\");
    // Nothing else is left beside it: the staging folder has its name.
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.native), fs::directory_iterator()), 1);
}

// What the pack wrote is read back from the disk before anything is wiped:
// a container changed on its way to the disk is deleted and the folder
// stays whole, for either kind.
TEST_F(SealedEngineTest, AContainerThatReadsBackWrongWipesNothing) {
    temp.Write("Carpeta/uno.txt", std::string(100000, 'u'));
    const auto flip = [&] { FlipByteFromEnd(temp.native + "/Carpeta.zol.parcial", 20); };
    ChangeBefore("read back", ".parcial", flip);
    ExpectNothingTouched(
        "sealed", [&] { return Seal("Carpeta"); }, Outcome::kFailed);
    files.SetNameCoding(NameCoding::kWindows1252);
    ChangeBefore("read back", ".parcial", flip);
    ExpectNothingTouched(
        "legacy", [&] { return Encode("Carpeta"); }, Outcome::kFailed);
    ExpectSaidOnce("no coincide");
}

// Seal wipes only what decode will restore: both ask CheckRestorable. A
// tree deeper than the system's whole-path limit comes back through the
// folders' handles; a name the container's folder cannot hold (its file
// system's names played shorter), or a folder whose staging name would be
// too long, is refused by seal before anything is touched, and by decode
// of a container sealed while the name fitted; so is a container on a
// drive that cannot give a restored folder its name.
TEST_F(SealedEngineTest, SealWipesOnlyWhatDecodeWillRestore) {
    struct Case {
        const char* what;
        std::string folder;
        int levels;                // of 200-byte names, the last holding the file
        std::size_t longest_name;  // 0: the real file system's
        int folder_rename_errno;   // a drive that cannot rename a folder
        const char* refusal;       // "": restorable
    };
    const std::string long_folder(243, 'L');
    const Case cases[] = {
        {"a tree deeper than 4096 bytes", "Profundo", 25, 0, 0, ""},
        {"a name longer than the folder holds", "Nombres", 1, 150, 0, "no se puede restaurar"},
        {"a folder name of 243 bytes", long_folder, 1, 0, 0, ""},
        {"a drive whose renamed folders lose what they hold", "Unidad", 1, 0, ENOSYS,
         "no puede restaurar un contenedor en la unidad"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> path = {c.folder};
        for (int level = 0; level < c.levels; ++level)
            path.push_back(std::string(200, static_cast<char>('a' + level)));
        path.push_back("dato.txt");
        MakeThroughHandles(temp.native, path, "hondo");

        host = TestHost(files, cancel);
        files.longest_name = c.longest_name;
        files.fail.folder_rename_errno = c.folder_rename_errno;
        const RunResult sealed = Seal(c.folder);
        files.fail.folder_rename_errno = 0;
        if (!*c.refusal) {
            ASSERT_EQ(sealed.outcome, Outcome::kDone) << c.what;
            EXPECT_FALSE(temp.Exists(c.folder)) << c.what;
            ASSERT_EQ(Unseal(c.folder + ".zol").outcome, Outcome::kDone)
                << c.what << ::testing::PrintToString(host.messages);
        } else {
            EXPECT_EQ(sealed.outcome, Outcome::kRefused) << c.what;
            ExpectSaidOnce(c.refusal, c.what);
        }
        EXPECT_EQ(ReadThroughHandles(temp.native, path), "hondo") << c.what;
        EXPECT_EQ(std::distance(fs::directory_iterator(temp.native), fs::directory_iterator()), 1)
            << c.what << ": a container, a partial file or the staging folder stayed";
        // Sealed where the name fits, restored where it does not.
        if (c.longest_name != 0) {
            files.longest_name = 0;
            ASSERT_EQ(Seal(c.folder).outcome, Outcome::kDone) << c.what;
            files.longest_name = c.longest_name;
            EXPECT_EQ(Unseal(c.folder + ".zol").outcome, Outcome::kRefused) << c.what;
            EXPECT_TRUE(temp.Exists(c.folder + ".zol")) << c.what;
        }
        files.longest_name = 0;
        fs::remove_all(temp.native + "/" + c.folder + ".zol");
        // rm goes down through handles; std::filesystem by whole paths.
        ASSERT_EQ(std::system(("rm -rf '" + temp.native + "/" + c.folder + "'").c_str()), 0);
    }
}

// "Cancelar" mid-restore, in a folder and in a file's data: the program
// ends with the staging folder gone and the container as it was.
TEST_F(SealedEngineTest, CancelarWhileRestoringLeavesNothingBehind) {
    temp.Write("Carpeta/a/uno.bin", std::string(3 << 16, 'u'));
    temp.Write("Carpeta/b/dos.bin", std::string(5 << 16, 'd'));
    ASSERT_EQ(Seal("Carpeta").outcome, Outcome::kDone);
    const TreeSnapshot before = Snapshot(temp.native);
    for (const char* made : {"a", "a/uno.bin", "b/dos.bin"}) {
        SCOPED_TRACE(made);
        const fs::path staged = fs::path(temp.native) / StagingName("Carpeta.zol") / made;
        host.on_pump = [&](int) {
            if (!cancel.requested() && fs::exists(staged))
                host.PressCancelar();
        };
        EXPECT_THROW(Unseal("Carpeta.zol"), ProgramEnded);
        EXPECT_EQ(Snapshot(temp.native), before);
    }
}

// The staging folder is the user's alone and each file is written at 0600;
// the stored permissions come back less the umask's bits for an account
// other than root (exactly for root: the unprivileged run plays the other).
// Where the file system keeps no permissions or times (FAT through FUSE),
// the tree comes back without them, said once.
TEST_F(SealedEngineTest, PermissionsAreTheUsersUntilPublishedThenFollowTheUmask) {
    temp.Write("P/abierta/f.txt", "f");
    const fs::path root = fs::path(temp.native) / "P";
    fs::permissions(root / "abierta", fs::perms(0777));
    fs::permissions(root / "abierta/f.txt", fs::perms(0666));
    ASSERT_EQ(Seal("P").outcome, Outcome::kDone);
    const fs::path staging = fs::path(temp.native) / StagingName("P.zol");
    auto mode = [](const fs::path& path) {
        return static_cast<unsigned>(fs::status(path).permissions()) & 0777u;
    };
    std::vector<unsigned> while_written;
    files.before = [&](const std::string& operation, const std::string& path) {
        if (operation == "write" && path.ends_with("f.txt"))
            while_written = {mode(staging), mode(staging / "abierta/f.txt")};
    };
    ASSERT_EQ(Unseal("P.zol", {.keep_container = true}).outcome, Outcome::kDone);
    EXPECT_EQ(while_written, (std::vector<unsigned>{0700, 0600}));
    const mode_t umask_now = umask(0);
    umask(umask_now);
    const unsigned mask = geteuid() == 0 ? 0u : umask_now;
    EXPECT_EQ(mode(root / "abierta"), 0777u & ~mask);
    EXPECT_EQ(mode(root / "abierta/f.txt"), 0666u & ~mask);

    fs::remove_all(root);
    Fresh();
    files.fail.details_errno = ENOSYS;
    ASSERT_EQ(Unseal("P.zol").outcome, Outcome::kDone);
    EXPECT_EQ(temp.Read("P/abierta/f.txt"), "f");
    ExpectSaidOnce("no admite permisos");
}

// A restore that fails removes what it staged and keeps the container: the
// disk refuses a write (a read-only folder staged before it), or descriptors
// run out on a deep tree (its own handles are closed first, and the removal
// keeps a few open at a time).
TEST_F(SealedEngineTest, AFailedRestoreRemovesWhatItStaged) {
    std::string deep = "H";
    for (int level = 0; level < 300; ++level)
        deep += "/d";
    temp.Write(deep + "/f", "x");
    temp.Write("Carpeta/a/b/c.txt", "c");
    temp.Write("Carpeta/z.txt", "z");
    fs::permissions(fs::path(temp.native) / "Carpeta/a/b", fs::perms(0500));
    ASSERT_EQ(Seal("H").outcome, Outcome::kDone);
    ASSERT_EQ(Seal("Carpeta").outcome, Outcome::kDone);
    const TreeSnapshot before = Snapshot(temp.native);
    files.fail.write_path = "z.txt";
    files.fail.write_errno = ENOSPC;
    EXPECT_EQ(Unseal("Carpeta.zol").outcome, Outcome::kFailed);
    EXPECT_EQ(Snapshot(temp.native), before) << "a write refused";
    files.fail = {};
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    struct rlimit low = saved;
    low.rlim_cur = 128;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    const RunResult result = Unseal("H.zol");
    setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(result.outcome, Outcome::kFailed);
    EXPECT_EQ(Snapshot(temp.native), before);
}

}  // namespace
}  // namespace velmora
