#pragma once
// What the list dialog and its preview worker share. The dialog's thread
// owns everything but the fields under the lock; the worker holds its own
// reference, so a worker still decoding when the dialog has gone finds the
// request alive and the dialog window cleared.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "imaging/bitmap.h"
#include "imaging/row_receiver.h"

namespace cs {

// Decodes the picture at path into target at 32 bits, resampled to the size
// `choose` picks from the decoded size. Throws PLTextException.
using PreviewDecoder = std::function<void(const std::string& path, Bitmap& target, const SizeChooser& choose)>;

// The message the worker posts when the preview changed: the dialog updates
// the info text and repaints the preview.
inline constexpr UINT kPreviewChangedMessage = WM_APP + 40;

class FileListRequest {
public:
    FileListRequest();
    ~FileListRequest();
    FileListRequest(const FileListRequest&) = delete;
    FileListRequest& operator=(const FileListRequest&) = delete;

    // Set once before the worker starts.
    PreviewDecoder decode;
    HANDLE request_event = nullptr;  // auto-reset
    HANDLE quit_event = nullptr;     // auto-reset

    // Holds the lock for its lifetime.
    class Lock {
    public:
        explicit Lock(FileListRequest& request) : section_(request.lock_) { EnterCriticalSection(&section_); }
        ~Lock() { LeaveCriticalSection(&section_); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        CRITICAL_SECTION& section_;
    };

    // Under the lock. The dialog clears the windows when it closes; the
    // worker only posts to a dialog it finds here.
    HWND dialog = nullptr;
    HWND frame = nullptr;
    std::unique_ptr<DibBitmap> preview;
    std::string shown_path;
    std::string requested_path;
    int picture_width = 0;
    int picture_height = 0;
    // Why the requested picture shows nothing, when the user can act on it
    // (no decoder for its format); empty otherwise.
    std::string failure_text;

private:
    CRITICAL_SECTION lock_;
};

}  // namespace cs
