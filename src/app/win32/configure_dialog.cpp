#include "app/win32/configure_dialog.h"

#include "resource_ids.h"

namespace cs {
namespace {

INT_PTR CALLBACK ConfigureDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wparam));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

}  // namespace

void RunConfigureDialog(HINSTANCE instance, HWND parent) {
    // A number that is no window (or a window since closed) must not keep the
    // dialog from showing.
    if (parent && !IsWindow(parent)) parent = nullptr;
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), parent, ConfigureDialogProc, 0);
}

}  // namespace cs
