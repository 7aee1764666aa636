#include "config/win32/file_list_request.h"

namespace cs {

FileListRequest::FileListRequest() {
    InitializeCriticalSection(&lock_);
    request_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    quit_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

FileListRequest::~FileListRequest() {
    if (request_event) CloseHandle(request_event);
    if (quit_event) CloseHandle(quit_event);
    DeleteCriticalSection(&lock_);
}

}  // namespace cs
