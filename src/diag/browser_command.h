#pragma once
// Starting the registered web browser on an address: the command line made
// from the registered command, and the text shown when it cannot start.
#include <string>
#include <string_view>

namespace cs {

// The registered command with everything from "-nohome" on dropped, then one
// space and the address.
std::string BrowserCommandLine(std::string_view registered_command, std::string_view address);

// "The web browser could not be started, please visit the " and the address.
std::string BrowserFailureText(std::string_view address);

}  // namespace cs
