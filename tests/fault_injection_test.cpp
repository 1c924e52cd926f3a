#include <cerrno>
#include <cstdio>

#include "tests/engine_fixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Failures of the disk injected through the platform seam, while encoding and
// while decoding. Each must end the run with one message and lose nothing:
// the originals while encoding, the container while decoding.
class FaultInjectionTest : public EngineFixture {
  protected:
    void MakeTree() {
        fs::remove_all(temp.native + "/T");
        temp.Write("T/a.txt", "uno");
        temp.Write("T/sub/b.bin", std::string(150000, 'b'));
        temp.Write("T/sub/c.txt", "tres");
        // Hidden folder (18): the walk resets it, but only once the
        // container is complete.
        temp.Write("T/oculta/d.txt", "cuatro");
        ASSERT_TRUE(files.SetAttr(Path("T\\oculta"), kHidden).ok());
    }
    void Reset() {
        files.fail_open.clear();
        files.fail_write_errno = 0;
        files.fail_write_path.clear();
        files.fail_flush = false;
        files.fail_sync = false;
        files.fail_rename = false;
        files.on_sync = nullptr;
        host = TestHost(files, state);
        before_wipe = nullptr;
    }
};

TEST_F(FaultInjectionTest, EncodingFailuresLeaveEveryOriginal) {
    struct Fault {
        const char* what;
        std::function<void()> inject;
    };
    const std::vector<Fault> faults = {
        {"disk full writing the container",
         [&] { files.fail_write_path = "T.zol", files.fail_write_errno = ENOSPC; }},
        {"input/output error writing the container",
         [&] { files.fail_write_path = "T.zol", files.fail_write_errno = EIO; }},
        {"the container's flush fails", [&] { files.fail_flush = true; }},
        {"a file cannot be opened", [&] { files.fail_open[Path("T\\sub\\c.txt")] = EACCES; }},
        {"the target folder is read-only",
         [&] { files.fail_open[Path("T.zol.parcial")] = EROFS; }},
        {"the target folder is missing",
         [&] { files.fail_open[Path("T.zol.parcial")] = ENOENT; }},
        {"the finished container cannot take its name", [&] { files.fail_rename = true; }},
    };
    for (const Fault& fault : faults) {
        MakeTree();
        fs::remove(temp.native + "/T.zol");
        const TreeSnapshot before = Snapshot(temp.native);
        Reset();
        fault.inject();
        const RunResult result = Encode("T");
        EXPECT_EQ(result.outcome, Outcome::kFailed) << fault.what;
        EXPECT_EQ(host.messages.size(), 1u) << fault.what;
        EXPECT_EQ(Snapshot(temp.native), before) << fault.what;
    }
    std::printf("fault injection while encoding: %zu faults, originals intact in all\n",
                faults.size());
}

TEST_F(FaultInjectionTest, DecodingFailuresLeaveTheContainer) {
    MakeTree();
    Reset();
    ASSERT_EQ(Encode("T").outcome, Outcome::kDone);
    const auto container = ContainerBytes("T.zol");
    struct Fault {
        const char* what;
        std::function<void()> inject;
        Outcome outcome;
    };
    const std::vector<Fault> faults = {
        {"disk full writing a file",
         [&] { files.fail_write_path = "T\\SUB", files.fail_write_errno = ENOSPC; },
         Outcome::kFailed},
        {"input/output error writing a file",
         [&] { files.fail_write_path = "T\\A.TXT", files.fail_write_errno = EIO; },
         Outcome::kFailed},
        {"flushing the restored tree fails", [&] { files.fail_sync = true; }, Outcome::kFailed},
        {"the container cannot be opened", [&] { files.fail_open[Path("T.zol")] = EACCES; },
         Outcome::kRefused},
        {"a restored file cannot be created",
         [&] { files.fail_open[Path("T\\SUB\\B.BIN")] = EACCES; }, Outcome::kFailed},
    };
    for (const Fault& fault : faults) {
        fs::remove_all(temp.native + "/T");
        Reset();
        fault.inject();
        const RunResult result = Decode("T.zol");
        EXPECT_EQ(result.outcome, fault.outcome) << fault.what;
        EXPECT_EQ(host.messages.size(), 1u) << fault.what;
        EXPECT_EQ(ContainerBytes("T.zol"), container) << fault.what;
    }
    std::printf("fault injection while decoding: %zu faults, container intact in all\n",
                faults.size());
}

}  // namespace
}  // namespace velmora
