#pragma once

// A value or the engine error that prevented it. Nothing in the engine throws
// across a render; every failure comes back through one of these.

#include <utility>
#include <variant>

// Local
#include "engine/EngineError.h"

template <typename T>
class EngineResult {
public:
    EngineResult(T value) : m_value(std::in_place_index<0>, std::move(value)) {}
    EngineResult(EngineError error) : m_value(std::in_place_index<1>, std::move(error)) {}

    bool HasValue() const noexcept { return m_value.index() == 0; }
    explicit operator bool() const noexcept { return HasValue(); }

    // Only valid when HasValue() is true.
    T& Value() & { return std::get<0>(m_value); }
    const T& Value() const& { return std::get<0>(m_value); }
    T&& Value() && { return std::get<0>(std::move(m_value)); }

    // Only valid when HasValue() is false.
    const EngineError& Error() const { return std::get<1>(m_value); }

private:
    std::variant<T, EngineError> m_value;
};

// The outcome of an operation that gives nothing but success or an error.
template <>
class EngineResult<void> {
public:
    EngineResult() = default;
    EngineResult(EngineError error) : m_error(std::move(error)), m_bFailed(true) {}

    bool HasValue() const noexcept { return !m_bFailed; }
    explicit operator bool() const noexcept { return HasValue(); }

    // Only valid when HasValue() is false.
    const EngineError& Error() const { return m_error; }

private:
    EngineError m_error{EngineErrorCode::WriteFailed, {}};
    bool m_bFailed = false;
};
