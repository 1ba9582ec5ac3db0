#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <variant>

namespace sorrel::files {

// Why a file-system operation failed, in words fit to show a user.
struct Error {
    std::string message;
    int code {0}; // errno when the system gave one, else 0

    static Error from_errno(std::string const& what, int code)
    {
        return Error {what + ": " + std::generic_category().message(code), code};
    }
};

// A value or the reason there is none.
template<typename T> class [[nodiscard]] Result {
public:
    Result(T value)
        : m_value(std::move(value))
    { }
    Result(Error error)
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

template<> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error)
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

} // namespace sorrel::files
