#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

namespace velmora {

// The table behind the FileSystem's numbers, the same on every system: each
// open file or folder under a number from 1 up, never reused while the table
// lives. Entry is what the system keeps of it (a descriptor or a handle, and
// the path it was opened by). Safe to use from two threads: the sealed
// reader's worker reads the container while the calling thread opens and
// closes the files it restores, or closes them all ("Cancelar"): a read
// holds the table (Hold) until it is done with its entry.
template <typename Entry>
class OpenFiles {
  public:
    // Keeps every entry where it is, and open, while the lock lives.
    std::unique_lock<std::recursive_mutex> Hold() const {
        return std::unique_lock<std::recursive_mutex>(mutex_);
    }

    int Add(Entry entry) {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        const int number = next_number_++;
        entries_.emplace(number, std::move(entry));
        return number;
    }

    Entry* Find(int number) {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        const auto it = entries_.find(number);
        return it == entries_.end() ? nullptr : &it->second;
    }
    const Entry* Find(int number) const {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        const auto it = entries_.find(number);
        return it == entries_.end() ? nullptr : &it->second;
    }

    // Takes the entry out of the table, for the caller to close; nothing
    // when the number is not open.
    std::optional<Entry> Take(int number) {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        const auto it = entries_.find(number);
        if (it == entries_.end())
            return std::nullopt;
        std::optional<Entry> taken(std::move(it->second));
        entries_.erase(it);
        return taken;
    }

    // Takes every entry out and gives each to `close`, in the order of their
    // numbers (what CloseAll does).
    template <typename Close>
    void TakeAll(Close close) {
        std::map<int, Entry> all;
        {
            std::lock_guard<std::recursive_mutex> lock(mutex_);
            all.swap(entries_);
        }
        for (auto& [number, entry] : all)
            close(entry);
    }

  private:
    mutable std::recursive_mutex mutex_;
    std::map<int, Entry> entries_;
    int next_number_ = 1;
};

// How a number that is not open is named in a message.
inline std::string ShownNumber(int number) {
    return "#" + std::to_string(number);
}

}  // namespace velmora
