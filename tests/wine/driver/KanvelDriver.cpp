// A small Windows-side helper for the journeys: it finds the installer's
// windows and controls by their text, reads their state and clicks them.
//   kanvel-driver control TEXT   -> "enabled=1 checked=0 visible=1"
//   kanvel-driver click TEXT     -> clicks the button or radio button
//   kanvel-driver label NAME     -> caption of a drawn label (e.g. LabelInfo)
//   kanvel-driver list           -> "count=N top=T selected=S first=TEXT"
//   kanvel-driver focus          -> text of the window with the keyboard focus
//   kanvel-driver close TITLE    -> asks the top-level window of that title to close
//   kanvel-driver windows EXE    -> one line "visible=V title=TEXT" for every top-level
//                                   window (shown or not) of the processes named EXE
//   kanvel-driver repaint TITLE  -> marks that window and all its children for a whole repaint
// Exit code 0 on success, 1 when the window or control is not there.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
    std::wstring text;
    HWND found = nullptr;
};

std::wstring TextOf(HWND hwnd) {
    wchar_t buffer[512] = {};
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}

BOOL CALLBACK MatchChild(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (TextOf(hwnd) == search->text) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchTopLevel(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    EnumChildWindows(hwnd, MatchChild, param);
    return search->found == nullptr;
}

HWND FindControl(const std::wstring& text) {
    Search search;
    search.text = text;
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct LabelSearch {
    std::wstring property;
    std::wstring caption;
    bool found = false;
};

BOOL CALLBACK MatchLabelChild(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<LabelSearch*>(param);
    HANDLE value = GetPropW(hwnd, search->property.c_str());
    if (value == nullptr) return TRUE;
    wchar_t buffer[256] = {};
    GlobalGetAtomNameW(static_cast<ATOM>(reinterpret_cast<UINT_PTR>(value)), buffer, 256);
    search->caption = buffer;
    search->found = true;
    return FALSE;
}

BOOL CALLBACK MatchLabelTopLevel(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<LabelSearch*>(param);
    if (MatchLabelChild(hwnd, param)) EnumChildWindows(hwnd, MatchLabelChild, param);
    return !search->found;
}

void Print(const std::wstring& line) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    std::printf("%s\n", bytes.c_str());
}

int Control(const std::wstring& text) {
    HWND hwnd = FindControl(text);
    if (hwnd == nullptr) return 1;
    const LRESULT check = SendMessageW(hwnd, BM_GETCHECK, 0, 0);
    Print(L"enabled=" + std::to_wstring(IsWindowEnabled(hwnd) ? 1 : 0) + L" checked=" +
          std::to_wstring(check == BST_CHECKED ? 1 : 0) + L" visible=" + std::to_wstring(IsWindowVisible(hwnd) ? 1 : 0));
    return 0;
}

int Click(const std::wstring& text) {
    HWND hwnd = FindControl(text);
    if (hwnd == nullptr) return 1;
    // Posted, so that a handler that runs long (a glide, a modal notice)
    // does not hold the driver.
    PostMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd));
    return 0;
}

int Label(const std::wstring& name) {
    LabelSearch search;
    search.property = L"Kanvel.Text." + name;
    EnumWindows(MatchLabelTopLevel, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return 1;
    Print(search.caption);
    return 0;
}

BOOL CALLBACK FindListBox(HWND hwnd, LPARAM param) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    if (lstrcmpiW(cls, L"ListBox") == 0) {
        *reinterpret_cast<HWND*>(param) = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindListBoxTop(HWND hwnd, LPARAM param) {
    EnumChildWindows(hwnd, FindListBox, param);
    return *reinterpret_cast<HWND*>(param) == nullptr;
}

int List() {
    HWND list = nullptr;
    EnumWindows(FindListBoxTop, reinterpret_cast<LPARAM>(&list));
    if (list == nullptr) return 1;
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    wchar_t first[256] = {};
    if (count > 0) SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
    Print(L"count=" + std::to_wstring(count) + L" top=" + std::to_wstring(SendMessageW(list, LB_GETTOPINDEX, 0, 0)) +
          L" selected=" + std::to_wstring(SendMessageW(list, LB_GETCURSEL, 0, 0)) + L" first=" + first);
    return 0;
}

int Focus() {
    HWND list = nullptr;
    EnumWindows(FindListBoxTop, reinterpret_cast<LPARAM>(&list));
    if (list == nullptr) return 1;
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(list, nullptr), &info) || info.hwndFocus == nullptr) return 1;
    wchar_t cls[64] = {};
    GetClassNameW(info.hwndFocus, cls, 64);
    Print(std::wstring(cls) + L":" + TextOf(info.hwndFocus));
    return 0;
}

int Close(const std::wstring& title) {
    HWND hwnd = FindWindowW(nullptr, title.c_str());
    if (hwnd == nullptr) return 1;
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return 0;
}

struct ProcessWindows {
    std::wstring image;
};

// The file name of the process that owns the window, upper-cased.
std::wstring ImageOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) return std::wstring();
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const BOOL ok = QueryFullProcessImageNameW(process, 0, path, &size);
    CloseHandle(process);
    if (!ok) return std::wstring();
    std::wstring name(path, size);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

BOOL CALLBACK ListProcessWindow(HWND hwnd, LPARAM param) {
    auto* wanted = reinterpret_cast<ProcessWindows*>(param);
    if (ImageOf(hwnd) != wanted->image) return TRUE;
    Print(L"visible=" + std::to_wstring(IsWindowVisible(hwnd) ? 1 : 0) + L" title=" + TextOf(hwnd));
    return TRUE;
}

int Windows(std::wstring image) {
    CharUpperBuffW(image.data(), static_cast<DWORD>(image.size()));
    ProcessWindows wanted{image};
    EnumWindows(ListProcessWindow, reinterpret_cast<LPARAM>(&wanted));
    return 0;
}

int Repaint(const std::wstring& title) {
    HWND hwnd = FindWindowW(nullptr, title.c_str());
    if (hwnd == nullptr) return 1;
    return RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN) ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring command = argv[1];
    const std::wstring argument = argc > 2 ? argv[2] : L"";
    if (command == L"control") return Control(argument);
    if (command == L"click") return Click(argument);
    if (command == L"label") return Label(argument);
    if (command == L"list") return List();
    if (command == L"focus") return Focus();
    if (command == L"close") return Close(argument);
    if (command == L"windows") return Windows(argument);
    if (command == L"repaint") return Repaint(argument);
    return 2;
}
