#pragma once
// Opening an address or a mail link: through the shell, or the registered
// web browser when the shell cannot.
#include <string>

namespace cs {

// The shell's "open"; falls back to OpenInBrowser.
bool OpenDocument(const std::string& target);

// Starts the registered http command on the address, waiting for it to end
// when asked. A failure is shown to the user, with the address to type in.
bool OpenInBrowser(const std::string& address, bool wait);

}  // namespace cs
