#include "DemoWindow.h"

namespace kanvel::demo {
namespace {

constexpr const wchar_t* WindowClassName = L"KanvelDemoWindow";
constexpr const wchar_t* CloseButtonText = L"Zamknij";
constexpr int ClientWidth = 440;
constexpr int ClientHeight = 120;
constexpr int Margin = 16;
constexpr int ButtonWidth = 96;
constexpr int ButtonHeight = 28;

struct DemoWindowContent {
    const std::wstring* message;
    HFONT font;
};

HFONT CreateMessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return nullptr;
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

void CreateControls(HWND window, const DemoWindowContent& content) {
    auto* instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    HWND text = CreateWindowExW(0, L"STATIC", content.message->c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, Margin,
                                Margin, ClientWidth - 2 * Margin, ClientHeight - 3 * Margin - ButtonHeight, window,
                                nullptr, instance, nullptr);
    HWND button = CreateWindowExW(0, L"BUTTON", CloseButtonText, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                  ClientWidth - Margin - ButtonWidth, ClientHeight - Margin - ButtonHeight,
                                  ButtonWidth, ButtonHeight, window, reinterpret_cast<HMENU>(IDOK), instance,
                                  nullptr);
    if (content.font != nullptr) {
        SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(content.font), FALSE);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(content.font), FALSE);
    }
    SetFocus(button);
}

LRESULT CALLBACK DemoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        CreateControls(window, *static_cast<DemoWindowContent*>(
                                   reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND CreateCenteredWindow(HINSTANCE instance, const std::wstring& title, DemoWindowContent& content) {
    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    constexpr DWORD extendedStyle = WS_EX_CONTROLPARENT;
    RECT frame{0, 0, ClientWidth, ClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    return CreateWindowExW(extendedStyle, WindowClassName, title.c_str(), style, left, top, width, height, nullptr,
                           nullptr, instance, &content);
}

}  // namespace

int RunDemoWindow(HINSTANCE instance, const std::wstring& title, const std::wstring& message) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DemoWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = WindowClassName;
    if (RegisterClassExW(&windowClass) == 0) {
        return 1;
    }

    DemoWindowContent content{&message, CreateMessageFont()};
    HWND window = CreateCenteredWindow(instance, title, content);
    if (window == nullptr) {
        return 1;
    }
    ShowWindow(window, SW_SHOWNORMAL);

    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (content.font != nullptr) {
        DeleteObject(content.font);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace kanvel::demo
