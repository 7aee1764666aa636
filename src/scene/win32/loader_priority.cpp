#include <windows.h>
#include <pthread.h>

#include "scene/picture_loader.h"

namespace cs {

void SetLoaderThreadPriority(std::thread& thread, LoaderPriority priority) {
    // std::thread runs on winpthreads here; its Win32 handle carries the priority.
    HANDLE handle = reinterpret_cast<HANDLE>(pthread_gethandle(thread.native_handle()));
    if (!handle) return;
    int level = THREAD_PRIORITY_NORMAL;
    switch (priority) {
    case LoaderPriority::Lowest: level = THREAD_PRIORITY_LOWEST; break;
    case LoaderPriority::BelowNormal: level = THREAD_PRIORITY_BELOW_NORMAL; break;
    case LoaderPriority::Normal: level = THREAD_PRIORITY_NORMAL; break;
    }
    SetThreadPriority(handle, level);
}

}  // namespace cs
