// The licence choice and the edition choice under Windows' radio buttons,
// which take the focus as a click (Wine 8's do not: WindowsRadioButton.h
// reproduces them). Runs the real forms with the Win32 binding in this
// process and drives them with the messages a keyboard and a mouse send.
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <functional>
#include <string>

#include "../http/CheckList.h"
#include "WindowsRadioButton.h"
#include "app/Installer.h"
#include "pages/install/TFormInstal.h"
#include "pages/licence/TFormMain.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Toolkit.h"
#include "platform/win32/WindowPeer.h"
#include "ui/Application.h"

namespace {

using kanvel::tests::CheckList;
using Clock = std::chrono::steady_clock;

// Handles the program's messages until the state holds, for at most `seconds`.
bool PumpUntil(kanvel::platform::win32::Win32Toolkit& toolkit, const std::function<bool()>& state, int seconds) {
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        toolkit.ProcessMessages();
        if (state()) return true;
        if (Clock::now() > deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void Settle(kanvel::platform::win32::Win32Toolkit& toolkit) {
    PumpUntil(toolkit, [] { return false; }, 0);
    toolkit.ProcessMessages();
}

struct Search {
    std::wstring text;
    HWND found = nullptr;
};

BOOL CALLBACK MatchText(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    if (search->text != text || !IsWindowVisible(hwnd)) return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND Find(HWND root, const std::wstring& text) {
    Search search{text};
    EnumChildWindows(root, MatchText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WindowOf(kanvel::ui::Control& control) {
    auto* peer = dynamic_cast<kanvel::platform::win32::WindowPeer*>(control.peer());
    return peer != nullptr ? peer->hwnd() : nullptr;
}

bool IsUnchosenRadio(HWND hwnd) {
    return (SendMessageW(hwnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0 &&
           SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_UNCHECKED;
}

// A key pressed and released, each handled before the next as from a keyboard.
void Key(kanvel::platform::win32::Win32Toolkit& toolkit, WPARAM key) {
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 0);
    Settle(toolkit);
    PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000000);
    Settle(toolkit);
}

// The reproduction itself: a radio button of a window of our own reports a
// click when it gets the focus, and an automatic one checks itself.
LRESULT CALLBACK CountClicks(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, GetWindowLongPtrW(hwnd, GWLP_USERDATA) + 1);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void CheckReproduction(CheckList& checks) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CountClicks;
    windowClass.lpszClassName = L"KanvelFocusClickProbe";
    RegisterClassW(&windowClass);
    HWND probe = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    HWND plain = CreateWindowExW(0, WC_BUTTONW, L"a", WS_CHILD | WS_VISIBLE | BS_RADIOBUTTON, 0, 0, 90, 20, probe,
                                 reinterpret_cast<HMENU>(1), nullptr, nullptr);
    HWND automatic = CreateWindowExW(0, WC_BUTTONW, L"b", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 0, 30, 90, 20,
                                     probe, reinterpret_cast<HMENU>(2), nullptr, nullptr);
    SetForegroundWindow(probe);
    SetFocus(plain);
    checks.CheckEqual(GetWindowLongPtrW(probe, GWLP_USERDATA), 1, "reproduction: focus on a radio button is a click");
    SetFocus(automatic);
    checks.Check(SendMessageW(automatic, BM_GETCHECK, 0, 0) == BST_CHECKED,
                 "reproduction: an automatic radio button checks itself on the focus");
    SetFocus(automatic);
    SetFocus(plain);
    SetFocus(automatic);
    checks.CheckEqual(GetWindowLongPtrW(probe, GWLP_USERDATA), 3, "reproduction: a checked one reports nothing");
    DestroyWindow(probe);
}

}  // namespace

int wmain() {
    CheckList checks;
    kanvel::tests::ReproduceWindowsRadioFocusClick();
    CheckReproduction(checks);

    kanvel::platform::win32::Win32Platform platform;
    kanvel::platform::win32::Win32Toolkit toolkit(GetModuleHandleW(nullptr));
    kanvel::ui::Application application(toolkit, L"Instalator");
    toolkit.attach(application);
    kanvel::app::Installer installer(platform, application);
    installer.CreateForms();
    auto& main = installer.FormMain();
    auto& panel = installer.FormInstal();
    application.realize(main);
    main.showWindow();
    HWND window = toolkit.mainWindow();

    if (!PumpUntil(toolkit, [&] { return main.RGAkceptacja.enabled(); }, 90)) {
        checks.Check(false, "the licence reveal ended");
        return checks.Finish();
    }
    // Tab from the licence list onto the licence choice: focus, no choice.
    SetFocus(WindowOf(main.ListBox1));
    Key(toolkit, VK_TAB);
    checks.Check(GetFocus() == Find(window, L"Akceptuję"), "Tab from the licence list reaches \"Akceptuję\"");
    checks.CheckEqual(main.RGAkceptacja.itemIndex(), -1, "Tab onto the licence choice accepts nothing");
    checks.Check(main.PanelLic.visible(), "the licence page stays after Tab");

    // Space on the focused choice accepts, as it should.
    Key(toolkit, VK_SPACE);
    checks.CheckEqual(main.RGAkceptacja.itemIndex(), 0, "Space on \"Akceptuję\" accepts the licence");
    Settle(toolkit);
    checks.CheckEqual(panel.RGKanvel.itemIndex(), -1, "after acceptance by Space no edition is chosen");
    checks.Check(!IsWindowEnabled(WindowOf(panel.BBInstal)), "after acceptance by Space \"Instaluj\" is disabled");
    checks.Check(!IsUnchosenRadio(GetFocus()), "after acceptance the focus is not on an edition");

    // Tab onto the edition choice: focus, no choice; an arrow chooses.
    for (int i = 0; i < 40 && GetFocus() != Find(window, L"Koordynator"); ++i) Key(toolkit, VK_TAB);
    checks.Check(GetFocus() == Find(window, L"Koordynator"), "Tab reaches the edition choice");
    checks.CheckEqual(panel.RGKanvel.itemIndex(), -1, "Tab onto the edition choice chooses nothing");

    // Away and back again: the window's return gives the focus elsewhere.
    HWND other = CreateWindowExW(0, WC_STATICW, L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                 nullptr);
    SetForegroundWindow(other);
    Settle(toolkit);
    SetForegroundWindow(window);
    Settle(toolkit);
    DestroyWindow(other);
    checks.CheckEqual(panel.RGKanvel.itemIndex(), -1, "the window's return chooses no edition");
    checks.Check(!IsUnchosenRadio(GetFocus()), "the window's return puts the focus on no unchosen edition");

    SetFocus(Find(window, L"Koordynator"));
    Key(toolkit, VK_RIGHT);
    checks.CheckEqual(panel.RGKanvel.itemIndex(), 1, "the arrow key chooses the next edition");

    // Back to the licence page, and acceptance by a mouse click.
    SendMessageW(WindowOf(panel.BBWstecz), BM_CLICK, 0, 0);
    Settle(toolkit);
    checks.Check(main.PanelLic.visible(), "\"<< Wstecz\" shows the licence page");
    SendMessageW(Find(window, L"Akceptuję"), BM_CLICK, 0, 0);
    Settle(toolkit);
    checks.CheckEqual(main.RGAkceptacja.itemIndex(), 0, "a click on \"Akceptuję\" accepts the licence");
    checks.CheckEqual(panel.RGKanvel.itemIndex(), -1, "after acceptance by a click no edition is chosen");
    checks.Check(!IsWindowEnabled(WindowOf(panel.BBInstal)), "after acceptance by a click \"Instaluj\" is disabled");
    checks.Check(!IsUnchosenRadio(GetFocus()), "after acceptance by a click the focus is not on an edition");
    main.close();
    return checks.Finish();
}
