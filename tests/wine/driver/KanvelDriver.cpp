// A small Windows-side helper for the journeys. It reads the installer the
// way assistive technology does, through window texts (WM_GETTEXT) and the
// accessibility objects of its windows (MSAA), and clicks its controls.
//   kanvel-driver control TEXT     -> "enabled=1 checked=0 visible=1"
//   kanvel-driver click TEXT       -> clicks the button or radio button
//   kanvel-driver status           -> the main window's status line (its topmost text)
//   kanvel-driver names TITLE      -> "role<TAB>name" of every shown accessible object
//                                     of the top-level window with that title
//   kanvel-driver walks TITLE N    -> reads every shown control as "names" does, N times,
//                                     and prints the milliseconds each walk took
//   kanvel-driver watch TEXT SECS  -> prints "ready", then waits for a name-change
//                                     event announcing TEXT
//   kanvel-driver rect TEXT        -> "x y w h" of that control inside its top-level window
//   kanvel-driver screenrect TEXT  -> "x y w h" of that control on the screen
//   kanvel-driver places TEXT      -> "x y w h" of that control inside its parent window, then
//                                     of the parent inside its own parent, one line each, up
//                                     to the top-level window
//   kanvel-driver list             -> "count=N top=T selected=S first=TEXT"
//   kanvel-driver focus            -> class and text of the window with the keyboard focus
//   kanvel-driver close TITLE      -> asks the top-level window of that title to close
//   kanvel-driver windows EXE      -> one line "visible=V title=TEXT" for every top-level
//                                     window (shown or not) of the processes named EXE,
//                                     with " owner=TEXT" after it for an owned window
//   kanvel-driver repaint TITLE    -> has that window and all its children painted whole, and
//                                     returns once their painting messages were handled
//   kanvel-driver parent TITLE     -> the file name (upper-cased) of the program that started
//                                     the process owning the top-level window of that title,
//                                     "(ended)" when that program no longer runs
//   kanvel-driver elevated         -> "1" when programs of this session run elevated, else "0"
// TEXT names a control by its window text, with or without the "&" that marks
// its access key ("Ok" finds "&Ok"); a shown control wins over a hidden one
// of the same text.
// Exit code 0 on success, 1 when the window or control is not there.
#include <windows.h>
#include <oleacc.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
    std::wstring text;
    HWND found = nullptr;  // the first shown match, else the first match
    bool shown = false;
};

std::wstring TextOf(HWND hwnd) {
    wchar_t buffer[512] = {};
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}

// The text as it is drawn: "&&" stands for "&", a single "&" marks the access key.
std::wstring WithoutAccessKey(const std::wstring& text) {
    std::wstring drawn;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        drawn += text[i];
    }
    return drawn;
}

bool MatchesText(const std::wstring& windowText, const std::wstring& wanted) {
    return windowText == wanted || WithoutAccessKey(windowText) == wanted;
}

BOOL CALLBACK MatchChild(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (!MatchesText(TextOf(hwnd), search->text)) return TRUE;
    if (search->found == nullptr) search->found = hwnd;
    if (!IsWindowVisible(hwnd)) return TRUE;
    search->found = hwnd;
    search->shown = true;
    return FALSE;
}

BOOL CALLBACK MatchTopLevel(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    EnumChildWindows(hwnd, MatchChild, param);
    return !search->shown;
}

HWND FindControl(const std::wstring& text) {
    Search search;
    search.text = text;
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Print(const std::wstring& line) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    std::printf("%s\n", bytes.c_str());
    std::fflush(stdout);
}

constexpr wchar_t kMainTitle[] = L"Warunki licencji";
// Spelled out: the static import library's IID_IAccessible is not usable.
constexpr GUID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::wstring ClassOf(HWND hwnd) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    return cls;
}

std::vector<HWND> Descendants(HWND root) {
    std::vector<HWND> found;
    EnumChildWindows(
        root,
        [](HWND hwnd, LPARAM param) {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The status line is the text at the very top of the main window.
int Status() {
    HWND main = FindWindowW(nullptr, kMainTitle);
    if (main == nullptr) return 1;
    HWND best = nullptr;
    RECT bestRect{};
    for (HWND hwnd : Descendants(main)) {
        if (!IsWindowVisible(hwnd) || lstrcmpiW(ClassOf(hwnd).c_str(), L"Static") != 0) continue;
        RECT r;
        GetWindowRect(hwnd, &r);
        if (best == nullptr || r.top < bestRect.top || (r.top == bestRect.top && r.left < bestRect.left)) {
            best = hwnd;
            bestRect = r;
        }
    }
    if (best == nullptr) return 1;
    Print(TextOf(best));
    return 0;
}

std::wstring Take(BSTR text) {
    std::wstring value = text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return value;
}

// Role and name of a window's client object, as a screen reader gets them;
// empty when the object is hidden.
std::wstring Describe(HWND hwnd) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                          reinterpret_cast<void**>(&object))) ||
        object == nullptr)
        return std::wstring();
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    std::wstring line;
    VARIANT state;
    VariantInit(&state);
    const bool shown = SUCCEEDED(object->get_accState(self, &state)) && state.vt == VT_I4 &&
                       (state.lVal & STATE_SYSTEM_INVISIBLE) == 0;
    VARIANT role;
    VariantInit(&role);
    BSTR name = nullptr;
    if (shown && SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) {
        wchar_t roleText[64] = {};
        GetRoleTextW(static_cast<DWORD>(role.lVal), roleText, 64);
        object->get_accName(self, &name);
        line = std::wstring(roleText) + L"\t" + Take(name);
    }
    object->Release();
    return line;
}

// What a screen reader reads of the window: every shown control's role and name.
std::vector<std::wstring> Walk(HWND top) {
    std::vector<HWND> windows{top};
    for (HWND hwnd : Descendants(top)) windows.push_back(hwnd);
    std::vector<std::wstring> lines;
    for (HWND hwnd : windows) {
        if (!IsWindowVisible(hwnd)) continue;
        std::wstring line = Describe(hwnd);
        if (!line.empty()) lines.push_back(std::move(line));
    }
    return lines;
}

int Names(const std::wstring& title) {
    HWND top = FindWindowW(nullptr, title.c_str());
    if (top == nullptr) return 1;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    for (const std::wstring& line : Walk(top)) Print(line);
    CoUninitialize();
    return 0;
}

// The walk a screen reader makes over the window, `rounds` times: prints how
// long each took, in milliseconds, one a line.
int TimeWalks(const std::wstring& title, int rounds) {
    HWND top = FindWindowW(nullptr, title.c_str());
    if (top == nullptr) return 1;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    for (int i = 0; i < rounds; ++i) {
        QueryPerformanceCounter(&start);
        Walk(top);
        QueryPerformanceCounter(&end);
        std::printf("%.1f\n", 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                                 static_cast<double>(frequency.QuadPart));
    }
    CoUninitialize();
    return 0;
}

std::wstring g_announcement;
bool g_heard = false;

void CALLBACK OnNameChange(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    IAccessible* source = nullptr;
    VARIANT which;
    VariantInit(&which);
    if (FAILED(AccessibleObjectFromEvent(hwnd, static_cast<DWORD>(object), static_cast<DWORD>(child), &source,
                                         &which)) ||
        source == nullptr)
        return;
    BSTR name = nullptr;
    const bool named = SUCCEEDED(source->get_accName(which, &name));
    source->Release();
    if (named && Take(name) == g_announcement) g_heard = true;
}

int Watch(const std::wstring& text, int seconds) {
    HWND main = FindWindowW(nullptr, kMainTitle);
    if (main == nullptr) return 1;
    DWORD process = 0;
    GetWindowThreadProcessId(main, &process);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    g_announcement = text;
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, OnNameChange,
                                         process, 0, WINEVENT_OUTOFCONTEXT);
    if (hook == nullptr) return 1;
    Print(L"ready");
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    while (!g_heard && GetTickCount64() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    UnhookWinEvent(hook);
    CoUninitialize();
    if (!g_heard) return 1;
    Print(L"announced: " + text);
    return 0;
}

int Control(const std::wstring& text) {
    HWND hwnd = FindControl(text);
    if (hwnd == nullptr) return 1;
    const LRESULT check = SendMessageW(hwnd, BM_GETCHECK, 0, 0);
    Print(L"enabled=" + std::to_wstring(IsWindowEnabled(hwnd) ? 1 : 0) + L" checked=" +
          std::to_wstring(check == BST_CHECKED ? 1 : 0) + L" visible=" + std::to_wstring(IsWindowVisible(hwnd) ? 1 : 0));
    return 0;
}

void PrintRect(const RECT& r) {
    Print(std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right - r.left) + L" " +
          std::to_wstring(r.bottom - r.top));
}

// The window's rectangle in the client coordinates of RELATIVE_TO (the screen when null).
RECT PlaceIn(HWND hwnd, HWND relativeTo) {
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, relativeTo, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int Rect(const std::wstring& text) {
    HWND hwnd = FindControl(text);
    if (hwnd == nullptr) return 1;
    PrintRect(PlaceIn(hwnd, GetAncestor(hwnd, GA_ROOT)));
    return 0;
}

int ScreenRect(const std::wstring& text) {
    HWND hwnd = FindControl(text);
    if (hwnd == nullptr) return 1;
    PrintRect(PlaceIn(hwnd, nullptr));
    return 0;
}

int Places(const std::wstring& text) {
    HWND hwnd = FindControl(text);
    if (hwnd == nullptr) return 1;
    HWND top = GetAncestor(hwnd, GA_ROOT);
    for (; hwnd != top; hwnd = GetParent(hwnd)) PrintRect(PlaceIn(hwnd, GetParent(hwnd)));
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
    const HWND owner = GetWindow(hwnd, GW_OWNER);
    Print(L"visible=" + std::to_wstring(IsWindowVisible(hwnd) ? 1 : 0) + L" title=" + TextOf(hwnd) +
          (owner != nullptr ? L" owner=" + TextOf(owner) : std::wstring()));
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
    // RDW_UPDATENOW sends the erase and paint messages to the window's own
    // thread and waits until each was handled.
    return RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW) ? 0 : 1;
}

// The process entry of a process, from a snapshot of all of them.
bool ProcessEntryOf(DWORD pid, PROCESSENTRY32W& entry) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    entry.dwSize = sizeof entry;
    BOOL more = Process32FirstW(snapshot, &entry);
    while (more && entry.th32ProcessID != pid) more = Process32NextW(snapshot, &entry);
    CloseHandle(snapshot);
    return more != FALSE;
}

int Parent(const std::wstring& title) {
    HWND hwnd = FindWindowW(nullptr, title.c_str());
    if (hwnd == nullptr) return 1;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    PROCESSENTRY32W child{};
    PROCESSENTRY32W parent{};
    if (!ProcessEntryOf(pid, child)) return 1;
    if (!ProcessEntryOf(child.th32ParentProcessID, parent)) {
        Print(L"(ended)");  // the starter has ended since
        return 0;
    }
    std::wstring name = parent.szExeFile;
    name = name.substr(name.find_last_of(L"\\/") + 1);
    CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    Print(name);
    return 0;
}

int Elevated() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return 1;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const BOOL ok = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    CloseHandle(token);
    if (!ok) return 1;
    Print(elevation.TokenIsElevated != 0 ? L"1" : L"0");
    return 0;
}

// run COMMANDLINE: starts a command line given whole, as Windows' "Apps &
// features" and the deployment tools start an uninstall string (no program
// name apart, the first quoted part names the program), waits for it and
// prints its exit code.
int RunCommandLine(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return 1;
    WaitForSingleObject(started.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(started.hProcess, &code);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    Print(L"exit=" + std::to_wstring(code));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring command = argv[1];
    const std::wstring argument = argc > 2 ? argv[2] : L"";
    if (command == L"control") return Control(argument);
    if (command == L"click") return Click(argument);
    if (command == L"status") return Status();
    if (command == L"rect") return Rect(argument);
    if (command == L"screenrect") return ScreenRect(argument);
    if (command == L"places") return Places(argument);
    if (command == L"names") return Names(argument);
    if (command == L"walks") return TimeWalks(argument, argc > 3 ? _wtoi(argv[3]) : 5);
    if (command == L"watch") return Watch(argument, argc > 3 ? _wtoi(argv[3]) : 10);
    if (command == L"list") return List();
    if (command == L"focus") return Focus();
    if (command == L"close") return Close(argument);
    if (command == L"windows") return Windows(argument);
    if (command == L"repaint") return Repaint(argument);
    if (command == L"run") return RunCommandLine(argument);
    if (command == L"parent") return Parent(argument);
    if (command == L"elevated") return Elevated();
    return 2;
}
