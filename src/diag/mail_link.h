#pragma once
// The support e-mail link: an address and named parameters, each value
// escaped so the mail program receives it byte for byte.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cs {

// Letters and digits stay; every other byte becomes "%XX" (upper case).
std::string EscapeMailValue(std::string_view value);

// address, then "?name=value" for the first parameter and "&name=value" for
// the others, values escaped.
std::string BuildMailLink(std::string_view address,
                          const std::vector<std::pair<std::string, std::string>>& parameters);

// The support link the About page opens: two empty fields for the user, the
// product, its version and the system report.
std::string SupportMailLink(std::string_view version_text, std::string_view system_report);

}  // namespace cs
