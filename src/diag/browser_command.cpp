#include "diag/browser_command.h"

namespace cs {

std::string BrowserCommandLine(std::string_view registered_command, std::string_view address) {
    const std::size_t cut = registered_command.find("-nohome");
    std::string command(registered_command.substr(0, cut));
    command += ' ';
    command += address;
    return command;
}

std::string BrowserFailureText(std::string_view address) {
    std::string text = "The web browser could not be started, please visit the ";
    text += address;
    return text;
}

}  // namespace cs
