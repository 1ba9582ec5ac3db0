#pragma once

// The one result type of every layer: a value, or the reason there is none.

#include <cassert>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <variant>

namespace sorrel::base {

// Why an operation failed, in words a user can act on ("banner.png: not a PNG file"), with the
// system's error code when it gave one.
struct Error {
    std::string message;
    int code {0}; // errno (GetLastError on Windows) when the system gave one, else 0

    static Error from_errno(std::string const& what, int code)
    {
        return Error {what + ": " + std::generic_category().message(code), code};
    }
};

template<typename T> class [[nodiscard]] ErrorOr {
public:
    ErrorOr(T value)
        : m_value(std::move(value))
    { }
    ErrorOr(Error error)
        : m_value(std::move(error))
    { }

    bool is_error() const { return std::holds_alternative<Error>(m_value); }
    explicit operator bool() const { return !is_error(); }

    T& value()
    {
        assert(!is_error());
        return std::get<T>(m_value);
    }
    T const& value() const
    {
        assert(!is_error());
        return std::get<T>(m_value);
    }
    T release_value() { return std::move(value()); }
    // The reason; a blank one when there was no failure, so that a wrong guess can't crash.
    Error const& error() const
    {
        static Error const none {};
        return is_error() ? std::get<Error>(m_value) : none;
    }

private:
    std::variant<T, Error> m_value;
};

template<> class [[nodiscard]] ErrorOr<void> {
public:
    ErrorOr() = default;
    ErrorOr(Error error)
        : m_error(std::move(error))
    { }

    bool is_error() const { return m_error.has_value(); }
    explicit operator bool() const { return !is_error(); }
    Error const& error() const
    {
        static Error const none {};
        return m_error ? *m_error : none;
    }

private:
    std::optional<Error> m_error;
};

} // namespace sorrel::base
