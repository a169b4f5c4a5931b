// A small program the Win32 backend tests start and end:
//   (no arguments)   writes the file "<its own path>.started" and exits: proof that it was started
//   wait             stays until it is ended (at most a minute)
//   window TITLE     shows a window with that title until the window is asked to close
#include <windows.h>

#include <string>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

int ShowWindowTitled(const wchar_t* title) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VantorTestHelperWindow";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    if (window == nullptr) {
        return 3;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 1) {
        wchar_t self[MAX_PATH * 4];
        const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
        const std::wstring marker = std::wstring(self, n) + L".started";
        HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return 1;
        }
        CloseHandle(file);
        return 0;
    }
    const std::wstring mode = argv[1];
    if (mode == L"wait") {
        Sleep(60000);
        return 0;
    }
    if (mode == L"window" && argc > 2) {
        return ShowWindowTitled(argv[2]);
    }
    return 2;
}
