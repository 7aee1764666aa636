#pragma once
// COM on the calling thread for as long as the object lives. Nested objects
// on one thread share the outermost one's: a thread that holds one for its
// lifetime initialises COM once, however many pictures it decodes.
#include "imaging/system_codecs.h"

namespace cs {

class ComThread final : public CodecThreadLease {
public:
    ComThread();
    ~ComThread() override;
    ComThread(const ComThread&) = delete;
    ComThread& operator=(const ComThread&) = delete;
};

}  // namespace cs
