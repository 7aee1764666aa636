#include "base/status.h"

namespace cs {

const char* StatusText(Status s) {
    switch (s) {
    case status::kOk: return "success";
    case status::kNothingToDo: return "nothing to do";
    case status::kFail: return "unspecified failure";
    case status::kPointer: return "invalid pointer";
    case status::kOutOfMemory: return "out of memory";
    case status::kInvalidArg: return "invalid argument";
    default: return Failed(s) ? "failure" : "success";
    }
}

}  // namespace cs
