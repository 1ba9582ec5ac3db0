#pragma once

#include <string>
#include <utility>
#include <variant>

namespace sorrel::host {

// The outcome of a fallible operation: a value, or a message that says what went wrong in words a
// user can act on ("banner.png: not a PNG file").
struct Error {
    std::string message;
};

template<class T> class [[nodiscard]] ErrorOr {
public:
    ErrorOr(T value)
        : m_state(std::move(value))
    { }
    ErrorOr(Error error)
        : m_state(std::move(error))
    { }

    bool is_error() const { return std::holds_alternative<Error>(m_state); }
    explicit operator bool() const { return !is_error(); }
    const std::string& error() const { return std::get<Error>(m_state).message; }
    T& value() { return std::get<T>(m_state); }
    const T& value() const { return std::get<T>(m_state); }
    T release_value() { return std::move(std::get<T>(m_state)); }

private:
    std::variant<T, Error> m_state;
};

template<> class [[nodiscard]] ErrorOr<void> {
public:
    ErrorOr() = default;
    ErrorOr(Error error)
        : m_error(std::move(error.message))
        , m_failed(true)
    { }
    bool is_error() const { return m_failed; }
    explicit operator bool() const { return !m_failed; }
    const std::string& error() const { return m_error; }

private:
    std::string m_error;
    bool m_failed {false};
};

} // namespace sorrel::host
