#include "app/command_line.h"

#include <cctype>
#include <climits>
#include <optional>

namespace cs {
namespace {

bool IsSeparator(char c) { return c == ' ' || c == ':'; }

std::string_view SkipSeparators(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSeparator(text[i])) ++i;
    return text.substr(i);
}

// An optional sign and the leading decimal digits, like atoi; 0 when there
// are none. Values beyond 64 bits saturate rather than wrap.
std::intptr_t ReadNumber(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint64_t value = 0;
    bool overflow = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const std::uint64_t digit = static_cast<std::uint64_t>(text[i] - '0');
        if (value > (UINT64_MAX - digit) / 10) {
            overflow = true;
            break;
        }
        value = value * 10 + digit;
    }
    if (overflow || value > static_cast<std::uint64_t>(INTPTR_MAX))
        return negative ? INTPTR_MIN : INTPTR_MAX;
    const auto signed_value = static_cast<std::intptr_t>(value);
    return negative ? -signed_value : signed_value;
}

// One scanf "%d" conversion: white space, an optional sign and at least one
// digit. Consumes what it matched; out-of-range values are clamped instead
// of being undefined as they are for scanf.
std::optional<int> ScanInt(std::string_view& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    std::size_t digits = i;
    if (digits < text.size() && (text[digits] == '+' || text[digits] == '-')) ++digits;
    std::size_t end = digits;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    if (end == digits) return std::nullopt;
    const std::intptr_t value = ReadNumber(text.substr(i, end - i));
    text.remove_prefix(end);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

std::string_view SkipProgramName(std::string_view raw) {
    std::size_t i = 0;
    if (!raw.empty() && raw[0] == '"') {
        const std::size_t close = raw.find('"', 1);
        i = close == std::string_view::npos ? raw.size() : close + 1;
    } else {
        const std::size_t space = raw.find(' ');
        i = space == std::string_view::npos ? raw.size() : space + 1;
    }
    while (i < raw.size() && raw[i] == ' ') ++i;
    return raw.substr(i);
}

CommandLine ParseArguments(std::string_view text) {
    CommandLine result;
    if (text.empty()) return result;
    if (text[0] == '-' || text[0] == '/') text.remove_prefix(1);
    if (text.empty()) return result;

    const char letter = text[0];
    const std::string_view rest = SkipSeparators(text.substr(1));
    switch (letter) {
    case 'p':
    case 'P':
        result.mode = ScreenMode::Preview;
        result.parent_window = ReadNumber(rest);
        break;
    case 's':
    case 'S':
        result.mode = ScreenMode::Saver;
        break;
    case 'c':
    case 'C':
        result.mode = ScreenMode::Configure;
        if (rest.empty())
            result.parent_is_foreground = true;
        else
            result.parent_window = ReadNumber(rest);
        break;
    case 'a':
    case 'A':
        result.mode = ScreenMode::ChangePassword;
        result.parent_window = ReadNumber(rest);
        break;
    case 'w':
    case 'W': {
        result.mode = ScreenMode::Windowed;
        // "%dx%d": what is matched is kept, the rest stays 0.
        std::string_view cursor = rest;
        if (const auto width = ScanInt(cursor)) {
            result.windowed_width = *width;
            if (!cursor.empty() && cursor[0] == 'x') {
                cursor.remove_prefix(1);
                if (const auto height = ScanInt(cursor)) result.windowed_height = *height;
            }
        }
        break;
    }
    default:
        result.mode = ScreenMode::Configure;
        break;
    }
    return result;
}

}  // namespace cs
