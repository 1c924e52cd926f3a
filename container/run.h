#pragma once

#include <functional>
#include <utility>

#include "cipher/cipher_tables.h"
#include "container/cancel_token.h"
#include "container/engine_state.h"
#include "container/host.h"
#include "platform/clock.h"
#include "platform/tree_ops.h"

namespace velmora {

// The view's Host as a run's steps see it: each time they let the windows'
// events run is a safe point, where a "Cancelar" the token took meanwhile
// is answered, unless the step going on stops at its own points (the wipe,
// a staged restore): the unfinished container goes, every open file is
// closed and the program ends.
class SafePoints final : public Host {
  public:
    SafePoints(Host& view, TreeOps& files, CancelToken& cancel)
        : view_(view), files_(files), cancel_(cancel) {}

    void PumpEvents() override;
    void BeginStep(const std::string& caption) override { view_.BeginStep(caption); }
    void AdvanceProgress(std::int64_t mark) override { view_.AdvanceProgress(mark); }
    void CountWork(const WorkCount& done) override { view_.CountWork(done); }
    void ShowMessage(const std::string& text, MessageIcon icon) override {
        view_.ShowMessage(text, icon);
    }
    void OpenFolder(const std::string& path) override { view_.OpenFolder(path); }
    void MakeWayForFolder() override { view_.MakeWayForFolder(); }
    void SealedJob(SealedMoment moment, const std::string& path) override {
        view_.SealedJob(moment, path);
    }
    void EndJob() override { view_.EndJob(); }
    [[noreturn]] void EndProgram() override;

  private:
    friend class Unfinished;

    Host& view_;
    TreeOps& files_;
    CancelToken& cancel_;
    std::function<void()> remove_unfinished_;
};

// What every step of one run works with: the disk, the windows (through
// the run's safe points), the cipher's tables, the clock, the cancel token,
// heeded at the safe points while the run lives, and the request's options
// and the state its steps share, both started from the request.
struct Run {
    Run(TreeOps& disk, Host& view, const CipherTables& cipher, Clock& time, CancelToken& token,
        const EngineRequest& request = {})
        : files(disk),
          host(view, disk, token),
          tables(cipher),
          clock(time),
          state(request),
          options(request.options),
          cancel(token),
          heeding_(token, CancelToken::Heed::kAtSafePoint) {
        token.Clear();  // any earlier request was answered
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    TreeOps& files;
    SafePoints host;
    const CipherTables& tables;
    Clock& clock;
    EngineState state;
    EngineOptions options;
    CancelToken& cancel;

  private:
    CancelToken::Heeding heeding_;
};

// An unfinished container, owned by the step that made it: while this
// lives, "Cancelar" answered at a safe point removes it through `remove`
// (its own handles, its own name) before the program ends.
class Unfinished {
  public:
    Unfinished(Run& run, std::function<void()> remove)
        : points_(run.host),
          former_(std::exchange(points_.remove_unfinished_, std::move(remove))) {}
    Unfinished(const Unfinished&) = delete;
    Unfinished& operator=(const Unfinished&) = delete;
    ~Unfinished() { points_.remove_unfinished_ = std::move(former_); }

  private:
    SafePoints& points_;
    std::function<void()> former_;
};

// Returns after about Segundos seconds, pumping events meanwhile.
void Espera(Run& run, float Segundos);

}  // namespace velmora
