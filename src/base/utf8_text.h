#pragma once
// Texts from the system are UTF-8 where it speaks it (the manifest asks for
// the UTF-8 code page) and in the user's ANSI code page on older systems.
// These helpers read UTF-8 and take any byte that does not start a valid
// sequence as one character, which is what a single-byte code page means and
// errs on the long side for a double-byte one.
#include <cstddef>
#include <string_view>

namespace cs {

// Bytes of the character that text starts with: 1 to 4; 0 for an empty text.
std::size_t CharacterBytes(std::string_view text);
// Characters in the text, counted as above.
std::size_t CharacterCount(std::string_view text);
// The text's length in UTF-16 units, the measure of the system's path limit
// (characters outside the basic plane take two).
std::size_t Utf16Length(std::string_view text);

// The longest path a list entry may hold, in the system's UTF-16 units
// (without terminator); a UTF-8 path takes more bytes than that.
inline constexpr std::size_t kMaxPathChars = 259;
// The longest start of the text with at most max_characters characters.
std::string_view FirstCharacters(std::string_view text, std::size_t max_characters);

}  // namespace cs
