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
    /// Appends a whole number in plain decimal, at least minDigits digits
    /// (leading zeros), without going through printf.
    void appendInt(long long v, int minDigits = 1) {
        char digits[24];
        int n = 0;
        const bool negative = v < 0;
        unsigned long long u = negative ? 0ULL - static_cast<unsigned long long>(v)
                                        : static_cast<unsigned long long>(v);
        do {
            digits[n++] = static_cast<char>('0' + u % 10);
            u /= 10;
        } while (u != 0 && n < 20);
        while (n < minDigits && n < 20)
            digits[n++] = '0';
        if (negative) digits[n++] = '-';
        char out[24];
        for (int i = 0; i < n; ++i)
            out[i] = digits[n - 1 - i];
        append(std::string_view(out, static_cast<std::size_t>(n)));
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
    friend bool operator==(const FixedText& a, const char* b) {
        return a.view() == std::string_view(b);
    }

  private:
    char buf_[Capacity + 1] = {};
    std::size_t len_ = 0;
};

/// The usual size of a box or label text of the core.
using Text = FixedText<63>;

}  // namespace moonbite
