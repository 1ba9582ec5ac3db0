#pragma once

#include "platform/files/Result.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

namespace sorrel::files {

// Random access to the bytes of a file or a buffer, for readers that must not trust what they read.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    virtual std::uint64_t size() const = 0;

    // Fills `buffer` from `offset`. Gives false when those bytes are not all there (past the end),
    // an error only when the reading itself fails.
    virtual Result<bool> read_at(std::uint64_t offset, std::span<std::uint8_t> buffer) = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<std::uint8_t const> bytes)
        : m_bytes(bytes)
    { }

    std::uint64_t size() const override { return m_bytes.size(); }

    Result<bool> read_at(std::uint64_t offset, std::span<std::uint8_t> buffer) override
    {
        if (offset > m_bytes.size() || buffer.size() > m_bytes.size() - offset)
            return false;
        std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(offset), buffer.size(), buffer.begin());
        return true;
    }

private:
    std::span<std::uint8_t const> m_bytes;
};

} // namespace sorrel::files
