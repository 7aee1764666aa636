#pragma once
// The list dialog's preview worker: decodes the requested picture off the
// dialog's thread, scales it to the preview frame and hands it over under
// the request's lock.
#include <windows.h>

#include <memory>
#include <string>

#include "config/win32/file_list_request.h"
#include "imaging/bitmap.h"
#include "imaging/row_receiver.h"

namespace cs {

// The preview's one way of decoding a picture (see PreviewDecoder): turned
// upright by its Exif orientation, so the size shown is the upright one.
void DecodePreviewPicture(const std::string& path, Bitmap& target, const SizeChooser& choose);

// Runs until the quit event or a failed wait. noexcept: a failure clears the
// preview instead of leaving the thread.
void RunPreviewWorker(FileListRequest& request) noexcept;

// Starts RunPreviewWorker on a thread of its own that keeps the request
// alive; null when the thread cannot be started.
HANDLE StartPreviewWorker(const std::shared_ptr<FileListRequest>& request);

// Signals the quit event and waits up to timeout_ms for the worker; a worker
// still decoding then is left to finish on its own (it no longer posts to
// the dialog once the dialog has cleared its windows). Closes the handle.
void StopPreviewWorker(FileListRequest& request, HANDLE worker, DWORD timeout_ms = 1000);

}  // namespace cs
