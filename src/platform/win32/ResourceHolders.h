#pragma once

#include <windows.h>
#include <objbase.h>
#include <uxtheme.h>
#include <wrl/client.h>

#include <utility>

namespace kanvel::platform::win32 {

// Scoped holders for the Win32 resources of the binding. Each holder owns one
// handle and frees it, with the call its kind needs, when it goes out of
// scope, is reset or is moved over; none can be copied. The Traits of a kind
// name the handle type, the value that stands for "no handle" (nullptr for
// most, INVALID_HANDLE_VALUE for CreateFileW) and the call that frees it.
template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::Empty(); }

    // Frees the handle held (if any) and holds the given one.
    void reset(Handle handle = Traits::Empty()) noexcept {
        const Handle old = std::exchange(handle_, handle);
        if (old != Traits::Empty()) Traits::Free(old);
    }
    // Gives the handle up to the caller, who frees it from now on.
    [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, Traits::Empty()); }
    // Frees the handle now and tells whether that worked, for the kinds whose
    // freeing can fail in a way that matters (a file's last data reaches the
    // disk on close). GetLastError tells why it did not.
    [[nodiscard]] bool close() noexcept { return *this ? Traits::Free(release()) : true; }
    // Frees the handle held and gives the address of the empty slot to a call
    // that hands back a new handle through a pointer (RegOpenKeyExW).
    [[nodiscard]] Handle* put() noexcept {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::Empty();
};

// The kinds whose "no handle" is nullptr.
template <class H>
struct NullMeansNone {
    using Handle = H;
    static constexpr Handle Empty() noexcept { return nullptr; }
};

// A kernel object handle that is nullptr on failure (process, event, mapping).
struct KernelHandleTraits : NullMeansNone<HANDLE> {
    static bool Free(HANDLE handle) noexcept { return CloseHandle(handle) != FALSE; }
};
using KernelHandle = UniqueHandle<KernelHandleTraits>;

// A file opened by CreateFileW, which fails with INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static bool Free(HANDLE handle) noexcept { return CloseHandle(handle) != FALSE; }
};
using FileHandle = UniqueHandle<FileHandleTraits>;

// A search of a folder's entries (FindFirstFileExW), which fails with
// INVALID_HANDLE_VALUE and ends with FindClose.
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static bool Free(HANDLE handle) noexcept { return FindClose(handle) != FALSE; }
};
using FindHandle = UniqueHandle<FindHandleTraits>;

// A registry key this program opened or created; never one of the
// predefined roots such as HKEY_CURRENT_USER.
struct RegistryKeyTraits : NullMeansNone<HKEY> {
    static bool Free(HKEY key) noexcept { return RegCloseKey(key) == ERROR_SUCCESS; }
};
using RegistryKey = UniqueHandle<RegistryKeyTraits>;

// Memory the system allocated for the caller to free with LocalFree
// (CommandLineToArgvW, FormatMessageW with FORMAT_MESSAGE_ALLOCATE_BUFFER).
template <class Pointer>
struct LocalMemoryTraits : NullMeansNone<Pointer> {
    static bool Free(Pointer memory) noexcept { return LocalFree(memory) == nullptr; }
};
template <class Pointer>
using LocalMemory = UniqueHandle<LocalMemoryTraits<Pointer>>;

// A GDI object this program made: font, brush, bitmap, region.
template <class Object>
struct GdiObjectTraits : NullMeansNone<Object> {
    static bool Free(Object object) noexcept { return DeleteObject(object) != FALSE; }
};
template <class Object>
using GdiObject = UniqueHandle<GdiObjectTraits<Object>>;

// A memory device context from CreateCompatibleDC.
struct MemoryDCTraits : NullMeansNone<HDC> {
    static bool Free(HDC dc) noexcept { return DeleteDC(dc) != FALSE; }
};
using MemoryDC = UniqueHandle<MemoryDCTraits>;

// The visual style data of a window class (OpenThemeData).
struct ThemeTraits : NullMeansNone<HTHEME> {
    static bool Free(HTHEME theme) noexcept { return SUCCEEDED(CloseThemeData(theme)); }
};
using ThemeHandle = UniqueHandle<ThemeTraits>;

// A window this program made. A child or owned window goes when its parent
// or owner goes, so it may be gone already when its holder lets go of it.
struct WindowTraits : NullMeansNone<HWND> {
    static bool Free(HWND window) noexcept { return IsWindow(window) != FALSE && DestroyWindow(window) != FALSE; }
};
using OwnedWindow = UniqueHandle<WindowTraits>;

// A thread timer (SetTimer without a window), known by its id.
struct ThreadTimerTraits {
    using Handle = UINT_PTR;
    static constexpr Handle Empty() noexcept { return 0; }
    static bool Free(UINT_PTR id) noexcept { return KillTimer(nullptr, id) != FALSE; }
};
using ThreadTimer = UniqueHandle<ThreadTimerTraits>;

// A COM interface pointer, released when the holder goes: the Windows SDK's
// own holder, so that QueryInterface and reference counts follow its rules.
using Microsoft::WRL::ComPtr;

// The component object system on the calling thread (single-threaded
// apartment) for the length of a scope; left again only when joining it
// succeeded.
class ComApartment {
public:
    ComApartment() noexcept : joined_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (joined_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool joined_;
};

}  // namespace kanvel::platform::win32
