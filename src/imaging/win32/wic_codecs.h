#pragma once
// The system's imaging codecs as the program's system codecs: the decoders
// installed on this computer, asked once through the component enumerator.
#include <memory>

#include "imaging/system_codecs.h"

namespace cs {

std::unique_ptr<SystemCodecs> MakeWicCodecs();

}  // namespace cs
