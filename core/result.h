#pragma once
// Failures below the windows come back as values: a Result holds either the value asked for or
// an Error whose description is fit to show a user.

#include <QString>
#include <optional>
#include <utility>
#include <variant>

namespace halvo {

struct Error {
    QString description;
    int code = 0; // the database engine's result code, where the failure came from there
};

template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : state(std::move(value)) {}
    Result(Error error) : state(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(state); }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<T>(state); }
    T& value() & { return std::get<T>(state); }
    T&& value() && { return std::get<T>(std::move(state)); }
    T valueOr(T fallback) const { return ok() ? value() : std::move(fallback); }

    const Error& error() const { return std::get<Error>(state); }

private:
    std::variant<T, Error> state;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : failure(std::move(error)) {}

    bool ok() const { return !failure.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return *failure; }

private:
    std::optional<Error> failure;
};

using Status = Result<void>;

} // namespace halvo
