#pragma once
// Texts the program keeps out of its plain data (window class and titles,
// library and entry-point names, registry paths): they are scrambled at
// compile time and only decoded when used.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace cs {

template <std::size_t N>
class EncodedText {
public:
    // Characters with the terminator.
    static constexpr std::size_t kSize = N;

    consteval EncodedText(const char (&plain)[N]) {
        for (std::size_t i = 0; i < N; ++i)
            bytes_[i] = static_cast<unsigned char>(plain[i]) ^ KeyAt(i);
    }

    std::string Decode() const {
        char out[N];
        return std::string(DecodeInto(out));
    }

    // The same into a buffer of N characters, for places that must not
    // allocate.
    std::string_view DecodeInto(char (&out)[N]) const {
        for (std::size_t i = 0; i + 1 < N; ++i)
            out[i] = static_cast<char>(bytes_[i] ^ KeyAt(i));
        out[N - 1] = '\0';
        return std::string_view(out, N - 1);
    }

private:
    static constexpr unsigned char KeyAt(std::size_t i) {
        return static_cast<unsigned char>(0x5Au + 0x1Du * i + (i >> 3));
    }
    std::array<unsigned char, N> bytes_{};
};

}  // namespace cs
