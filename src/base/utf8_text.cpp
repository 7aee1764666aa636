#include "base/utf8_text.h"

namespace cs {
namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

std::size_t CharacterBytes(std::string_view text) {
    if (text.empty()) return 0;
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length;
    unsigned char second_min = 0x80, second_max = 0xBF;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        // No overlong forms and no surrogates.
        if (lead == 0xE0) second_min = 0xA0;
        if (lead == 0xED) second_max = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) second_min = 0x90;
        if (lead == 0xF4) second_max = 0x8F;
    } else {
        return 1;
    }
    if (text.size() < length) return 1;
    const auto second = static_cast<unsigned char>(text[1]);
    if (second < second_min || second > second_max) return 1;
    for (std::size_t i = 2; i < length; ++i)
        if (!IsContinuation(static_cast<unsigned char>(text[i]))) return 1;
    return length;
}

std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t step; !text.empty(); text.remove_prefix(step), ++count) step = CharacterBytes(text);
    return count;
}

std::size_t Utf16Length(std::string_view text) {
    std::size_t units = 0;
    for (std::size_t step; !text.empty(); text.remove_prefix(step)) {
        step = CharacterBytes(text);
        units += step == 4 ? 2 : 1;
    }
    return units;
}

std::string_view FirstCharacters(std::string_view text, std::size_t max_characters) {
    std::size_t bytes = 0;
    for (std::size_t n = 0; n < max_characters && bytes < text.size(); ++n)
        bytes += CharacterBytes(text.substr(bytes));
    return text.substr(0, bytes);
}

}  // namespace cs
