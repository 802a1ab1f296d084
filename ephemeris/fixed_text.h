// A text with its characters stored inline, so that the per-day procedures
// can write their box texts without touching the heap.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace moonbite {

template <std::size_t Capacity>
class FixedText {
public:
    constexpr FixedText() = default;
    FixedText(std::string_view s) { assign(s); }  // NOLINT: implicit by design, like a box text
    FixedText(const char* s) { assign(s); }       // NOLINT

    FixedText& operator=(std::string_view s) {
        assign(s);
        return *this;
    }
    FixedText& operator=(const char* s) {
        assign(s);
        return *this;
    }

    /// Replaces the text; anything beyond the capacity is cut off.
    void assign(std::string_view s) {
        len_ = std::min(s.size(), Capacity);
        std::memmove(buf_, s.data(), len_);
        buf_[len_] = '\0';
    }
    void append(std::string_view s) {
        const std::size_t n = std::min(s.size(), Capacity - len_);
        std::memcpy(buf_ + len_, s.data(), n);
        len_ += n;
        buf_[len_] = '\0';
    }
    void clear() {
        len_ = 0;
        buf_[0] = '\0';
    }

    [[nodiscard]] std::string_view view() const { return {buf_, len_}; }
    [[nodiscard]] std::string str() const { return std::string(view()); }
    [[nodiscard]] const char* c_str() const { return buf_; }
    [[nodiscard]] std::size_t size() const { return len_; }
    [[nodiscard]] bool empty() const { return len_ == 0; }
    static constexpr std::size_t capacity() { return Capacity; }

    operator std::string_view() const { return view(); }  // NOLINT

    friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const FixedText& a, const FixedText& b) { return a.view() == b.view(); }
    friend bool operator==(const FixedText& a, const char* b) { return a.view() == std::string_view(b); }

private:
    char buf_[Capacity + 1] = {};
    std::size_t len_ = 0;
};

/// The usual size of a box or label text of the core.
using Text = FixedText<63>;

}  // namespace moonbite
