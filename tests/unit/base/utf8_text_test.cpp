#include "base/utf8_text.h"

#include <gtest/gtest.h>

namespace cs {
namespace {

// "Φωτο 写真 🌄": Greek takes two bytes, Japanese three, the emoji four (and
// two UTF-16 units).
const std::string_view kMixed = "\xCE\xA6\xCF\x89\xCF\x84\xCE\xBF \xE5\x86\x99\xE7\x9C\x9F \xF0\x9F\x8C\x84";

TEST(Utf8Text, CountsCharactersAndUtf16Units) {
    EXPECT_EQ(CharacterCount(kMixed), 9u);
    EXPECT_EQ(Utf16Length(kMixed), 10u);
    EXPECT_EQ(Utf16Length("C:\\Photos\\a.jpg"), 15u);
    EXPECT_EQ(CharacterCount(""), 0u);
}

TEST(Utf8Text, BytesOutsideUtf8CountSingly) {
    // "café" in a Western code page, a Shift-JIS "写" (0x8E 0xCA), a cut
    // sequence, an overlong form, a surrogate and a value past U+10FFFF.
    EXPECT_EQ(CharacterCount("caf\xE9"), 4u);
    EXPECT_EQ(CharacterCount("\x8E\xCA"), 2u);
    EXPECT_EQ(CharacterCount("\xE5\x86"), 2u);
    EXPECT_EQ(CharacterCount("\xC0\xAF"), 2u);
    EXPECT_EQ(CharacterCount("\xED\xA0\x80"), 3u);
    EXPECT_EQ(CharacterCount("\xF4\x90\x80\x80"), 4u);
    EXPECT_EQ(CharacterBytes("\xE5\x86x"), 1u);
}

TEST(Utf8Text, FirstCharactersNeverCutsASequence) {
    EXPECT_EQ(FirstCharacters(kMixed, 2), "\xCE\xA6\xCF\x89");
    EXPECT_EQ(FirstCharacters(kMixed, 6), "\xCE\xA6\xCF\x89\xCF\x84\xCE\xBF \xE5\x86\x99");
    EXPECT_EQ(FirstCharacters(kMixed, 100), kMixed);
    EXPECT_EQ(FirstCharacters(kMixed, 0), "");
}

}  // namespace
}  // namespace cs
