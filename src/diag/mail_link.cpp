#include "diag/mail_link.h"

#include <cstdio>

#include "diag/support_texts.h"

namespace cs {

std::string EscapeMailValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        const unsigned char byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9');
        if (plain) {
            out += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            out += escaped;
        }
    }
    return out;
}

std::string BuildMailLink(std::string_view address,
                          const std::vector<std::pair<std::string, std::string>>& parameters) {
    std::string link(address);
    bool first = true;
    for (const auto& [name, value] : parameters) {
        link += first ? '?' : '&';
        first = false;
        link += name;
        link += '=';
        link += EscapeMailValue(value);
    }
    return link;
}

std::string SupportMailLink(std::string_view version_text, std::string_view system_report) {
    return BuildMailLink(SupportMailAddress(), {{"subject", ""},
                                                {"body", ""},
                                                {"product", "Cube Saver"},
                                                {"version", std::string(version_text)},
                                                {"system", std::string(system_report)}});
}

}  // namespace cs
