#pragma once
// The decoding layer's own trace file. A message at level L is appended when
// the level is at least L and a file name is set. The program never sets a
// file name, so this costs one comparison per message; tests and tools may
// turn it on. Set both before decoding starts: they are read without a lock.
#include <string>

namespace cs {

class DecoderTrace {
public:
    static void SetLevel(int level);
    static int Level();
    static void SetFileName(std::string fileName);  // empty turns tracing off
    static const std::string& FileName();

    static bool Enabled(int level);
    static void Write(int level, const std::string& text);
    static void Writef(int level, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
};

}  // namespace cs
