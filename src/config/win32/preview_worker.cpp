#include "config/win32/preview_worker.h"

#include <cstring>
#include <new>
#include <utility>

#include "config/preview_layout.h"
#include "imaging/auto_decoder.h"
#include "imaging/pl_exception.h"
#include "imaging/system_codecs.h"

namespace cs {
namespace {

bool NoDecoderFor(const PLTextException& error) {
    return error.GetCode() == plerr::kUnknownFileType ||
           (error.GetCode() == plerr::kNotSupported && std::strstr(error.GetText(), pltext::kNotCompiled) != nullptr);
}

// Outside the lock: decoding and scaling may take seconds.
std::unique_ptr<DibBitmap> DecodeScaled(const FileListRequest& request, const std::string& path, int frame_width,
                                        int frame_height, int& picture_width, int& picture_height,
                                        std::string& failure_text) {
    auto bitmap = std::make_unique<DibBitmap>();
    try {
        request.decode(path, *bitmap, [&](std::int32_t width, std::int32_t height) {
            picture_width = width;
            picture_height = height;
            const PreviewSize size = FitToFrame(frame_width, frame_height, width, height);
            return PictureSize{size.width, size.height};
        });
    } catch (const PLTextException& error) {
        if (NoDecoderFor(error)) failure_text = NoDecoderText(path);
        return nullptr;
    } catch (...) {
        // Whatever else the picture did to the decoder (no memory), the
        // preview only clears.
        return nullptr;
    }
    return bitmap;
}

void ShowResult(FileListRequest& request, std::unique_ptr<DibBitmap> bitmap, const std::string& path, int width,
                int height, std::string failure_text) {
    HWND dialog = nullptr;
    {
        FileListRequest::Lock lock(request);
        // Decoded for a selection the user has since left or changed: the
        // newer request (if any) is already waiting.
        if (request.requested_path != path) return;
        if (bitmap) {
            std::swap(request.preview, bitmap);
            request.shown_path = path;
            request.picture_width = width;
            request.picture_height = height;
        } else {
            request.preview.reset();
            request.shown_path.clear();
        }
        request.failure_text = std::move(failure_text);
        dialog = request.dialog;
        // Posting under the lock: the dialog clears its window under the
        // same lock before it goes, so no message reaches a window that has
        // gone (or a new window that got its handle).
        if (dialog) {
            InvalidateRect(dialog, nullptr, FALSE);
            PostMessageA(dialog, kPreviewChangedMessage, 0, 0);
        }
    }
    // A replaced bitmap is released here, outside the lock.
}

DWORD WINAPI PreviewWorkerThread(LPVOID parameter) {
    const std::unique_ptr<std::shared_ptr<FileListRequest>> request(
        static_cast<std::shared_ptr<FileListRequest>*>(parameter));
    RunPreviewWorker(**request);
    return 0;
}

}  // namespace

void DecodePreviewPicture(const std::string& path, Bitmap& target, const SizeChooser& choose) {
    AutoDecoder decoder;
    decoder.DecodeUprightFromFile(path.c_str(), target, choose);
}

void RunPreviewWorker(FileListRequest& request) noexcept {
    const DecodingThread decoding;
    const HANDLE events[] = {request.quit_event, request.request_event};
    for (;;) {
        const DWORD signalled = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (signalled != WAIT_OBJECT_0 + 1) return;

        std::string path;
        RECT frame{};
        {
            FileListRequest::Lock lock(request);
            if (!request.dialog || !GetWindowRect(request.frame, &frame)) return;
            path = request.requested_path;
        }
        if (path.empty()) continue;  // cleared after it was asked for
        int width = 0, height = 0;
        std::string failure_text;
        auto bitmap = DecodeScaled(request, path, frame.right - frame.left, frame.bottom - frame.top, width, height,
                                   failure_text);
        ShowResult(request, std::move(bitmap), path, width, height, std::move(failure_text));
    }
}

HANDLE StartPreviewWorker(const std::shared_ptr<FileListRequest>& request) {
    auto* reference = new (std::nothrow) std::shared_ptr<FileListRequest>(request);
    if (!reference) return nullptr;
    const HANDLE thread = CreateThread(nullptr, 0, PreviewWorkerThread, reference, 0, nullptr);
    if (!thread) delete reference;
    return thread;
}

void StopPreviewWorker(FileListRequest& request, HANDLE worker, DWORD timeout_ms) {
    {
        FileListRequest::Lock lock(request);
        request.dialog = nullptr;
        request.frame = nullptr;
    }
    if (!worker) return;
    SetEvent(request.quit_event);
    WaitForSingleObject(worker, timeout_ms);
    CloseHandle(worker);
}

}  // namespace cs
