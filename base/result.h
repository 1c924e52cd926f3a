#pragma once

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace velmora {

// A failure the user can be told about: the message is the text shown to the
// user (Spanish), the code is the operating system's error number when the
// failure came from the system (0 otherwise).
struct Error {
    std::string message;
    int code = 0;
};

// Either a value or an Error. Operations that can fail return this instead of
// throwing, so every caller decides what a failure means at its own level.
template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : state_(std::move(value)) {}
    Result(Error error) : state_(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }

    T& value() & {
        assert(ok());
        return std::get<T>(state_);
    }
    const T& value() const& {
        assert(ok());
        return std::get<T>(state_);
    }
    // By value, so that `for (x : F().value())` does not outlive F's result.
    T value() && {
        assert(ok());
        return std::get<T>(std::move(state_));
    }
    const Error& error() const {
        assert(!ok());
        return std::get<Error>(state_);
    }

    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

  private:
    std::variant<T, Error> state_;
};

// The result of an operation that gives nothing back but can fail.
class [[nodiscard]] Status {
  public:
    Status() = default;
    Status(Error error) : failed_(true), error_(std::move(error)) {}

    static Status Ok() { return Status(); }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const Error& error() const {
        assert(failed_);
        return error_;
    }

  private:
    bool failed_ = false;
    Error error_;
};

}  // namespace velmora
