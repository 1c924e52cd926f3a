#pragma once

#include <atomic>

namespace velmora {

// "Cancelar" on the main window and the console's interrupt, as the engine
// sees them: the views set the token, and a run reads it at its safe points
// (each time it lets the windows' events run). Outside a run nobody reads
// it, and the view that was asked ends the program itself.
class CancelToken {
  public:
    // How the work going on answers a request.
    enum class Heed {
        kNone,         // no run: the view ends the program
        kAtSafePoint,  // the run's next safe point removes what is
                       // unfinished and ends the program
        kStepStops,    // the step stops at its own point (a staged restore
                       // removes what it made), then the program ends
        kWipeStops,    // likewise the wipe, which tells itself what it leaves
    };

    // The views: asked to stop. Returns how the work going on heeds it.
    Heed Request() {
        requested_ = true;
        return heed_;
    }
    bool requested() const { return requested_; }
    Heed heed() const { return heed_; }
    void Clear() { requested_ = false; }

    // The engine: the way it heeds the token while this lives (a run, then
    // a step inside it), the former way again after.
    class Heeding {
      public:
        Heeding(CancelToken& token, Heed heed) : token_(&token), former_(token.heed_) {
            token.heed_ = heed;
        }
        Heeding(const Heeding&) = delete;
        Heeding& operator=(const Heeding&) = delete;
        ~Heeding() { token_->heed_ = former_; }

      private:
        CancelToken* token_;
        Heed former_;
    };

  private:
    std::atomic<bool> requested_{false};
    std::atomic<Heed> heed_{Heed::kNone};
};

}  // namespace velmora
