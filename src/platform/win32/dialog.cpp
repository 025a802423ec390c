#include "platform/win32/dialog.h"

namespace kestrova {

INT_PTR Dialog::runModal(HINSTANCE instance, int templateId, HWND owner) {
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, procedure,
                           reinterpret_cast<LPARAM>(this));
}

bool Dialog::create(HINSTANCE instance, int templateId, HWND parent) {
    return CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, procedure,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR CALLBACK Dialog::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        dialog->window_ = window;
        SetWindowLongPtrW(window, DWLP_USER, lParam);
    } else {
        dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    }
    // Messages before WM_INITDIALOG (the font, for one) get the default.
    if (!dialog) return FALSE;
    INT_PTR result = dialog->dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        dialog->window_ = nullptr;
    }
    return result;
}

INT_PTR Dialog::dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return onInit();
        case WM_COMMAND:
            return onCommand(LOWORD(wParam), HIWORD(wParam));
        case WM_TIMER:
            return onTimer(wParam);
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (!onNotify(*reinterpret_cast<const NMHDR*>(lParam), &result)) return FALSE;
            SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
            return TRUE;
        }
        case WM_PAINT:
            return onPaint();
        case WM_SHOWWINDOW:
            onShowWindow(wParam != FALSE);
            return FALSE;
        case WM_CLOSE:
            return onClose();
        case WM_DESTROY:
            onDestroy();
            return FALSE;
    }
    INT_PTR result = FALSE;
    return onMessage(message, wParam, lParam, &result) ? result : FALSE;
}

}  // namespace kestrova
