#pragma once
// What a room without windows answers where the user may be told no: the value asked for, the
// room's refusal, or an Error from below the room. A refusal says what happened as the room's own
// kind and values (which line, which category, which tenant); the windows put it into words, so
// that every sentence a user reads is made where it can be translated. An Error comes from the
// database engine or the files, and is worded where it arose.

#include "core/result.h"

#include <optional>
#include <utility>
#include <variant>

namespace halvo {

template <class T, class Refusal>
class [[nodiscard]] Outcome {
public:
    Outcome(T value) : state(std::move(value)) {}
    Outcome(Refusal refusal) : state(std::move(refusal)) {}
    Outcome(Error error) : state(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(state); }
    explicit operator bool() const { return ok(); }
    bool refused() const { return std::holds_alternative<Refusal>(state); }

    const T& value() const& { return std::get<T>(state); }
    T& value() & { return std::get<T>(state); }
    T&& value() && { return std::get<T>(std::move(state)); }
    const Refusal& refusal() const { return std::get<Refusal>(state); }
    const Error& error() const { return std::get<Error>(state); }

private:
    using State = std::variant<T, Refusal, Error>;
    State state;
};

template <class Refusal>
class [[nodiscard]] Outcome<void, Refusal> {
public:
    Outcome() = default;
    Outcome(Refusal refusal) : failure(std::move(refusal)) {}
    Outcome(Error error) : failure(std::move(error)) {}
    // A failure from below passes on as it is.
    Outcome(const Status& status)
    {
        if (!status)
            failure = status.error();
    }

    bool ok() const { return !failure.has_value(); }
    explicit operator bool() const { return ok(); }
    bool refused() const { return failure && std::holds_alternative<Refusal>(*failure); }

    const Refusal& refusal() const { return std::get<Refusal>(*failure); }
    const Error& error() const { return std::get<Error>(*failure); }

private:
    std::optional<std::variant<Refusal, Error>> failure;
};

} // namespace halvo
