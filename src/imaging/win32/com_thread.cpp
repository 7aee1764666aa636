#include "imaging/win32/com_thread.h"

#include <objbase.h>

namespace cs {
namespace {

thread_local int t_depth = 0;
// Whether the outermost object initialised COM: on a thread that already
// has an apartment of the other kind (a dialog's single-threaded one) the
// call fails and that apartment serves, and is not ours to end.
thread_local bool t_initialised = false;

}  // namespace

ComThread::ComThread() {
    if (t_depth++ > 0) return;
    t_initialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
}

ComThread::~ComThread() {
    if (--t_depth > 0) return;
    if (t_initialised) CoUninitialize();
    t_initialised = false;
}

}  // namespace cs
