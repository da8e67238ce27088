#include "platform/win32/AdministratorsLock.h"

#include <windows.h>
#include <namespaceapi.h>
#include <sddl.h>

#include "platform/win32/ResourceHolders.h"
#include "platform/win32/RunTimeCall.h"

namespace kanvel::platform::win32 {

namespace {
// The namespace's name and its boundary's.
constexpr const wchar_t* kNamespaceName = L"Velmarin.Kanvel";
// Full control for SYSTEM and the Administrators, nothing inherited.
constexpr const wchar_t* kAdministratorsOnly = L"D:P(A;;GA;;;SY)(A;;GA;;;BA)";

// The private namespace calls, looked up in kernel32 at run time: a program
// that imported them would not start where they are missing.
struct NamespaceCalls {
    decltype(&CreateBoundaryDescriptorW) createBoundary = nullptr;
    decltype(&AddSIDToBoundaryDescriptor) addSid = nullptr;
    decltype(&DeleteBoundaryDescriptor) deleteBoundary = nullptr;
    decltype(&CreatePrivateNamespaceW) createNamespace = nullptr;
    decltype(&OpenPrivateNamespaceW) openNamespace = nullptr;
    decltype(&ClosePrivateNamespace) closeNamespace = nullptr;

    bool complete() const {
        return createBoundary && addSid && deleteBoundary && createNamespace && openNamespace && closeNamespace;
    }
};

NamespaceCalls FindNamespaceCalls() {
    NamespaceCalls calls;
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel) return calls;
    LookUp(kernel, "CreateBoundaryDescriptorW", calls.createBoundary);
    LookUp(kernel, "AddSIDToBoundaryDescriptor", calls.addSid);
    LookUp(kernel, "DeleteBoundaryDescriptor", calls.deleteBoundary);
    LookUp(kernel, "CreatePrivateNamespaceW", calls.createNamespace);
    LookUp(kernel, "OpenPrivateNamespaceW", calls.openNamespace);
    LookUp(kernel, "ClosePrivateNamespace", calls.closeNamespace);
    return calls;
}

bool RunsElevated() {
    KernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

// A security descriptor made from SDDL, freed with LocalFree.
class SddlDescriptor {
public:
    explicit SddlDescriptor(const wchar_t* sddl) {
        ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor_, nullptr);
    }
    ~SddlDescriptor() {
        if (descriptor_) LocalFree(descriptor_);
    }
    SddlDescriptor(const SddlDescriptor&) = delete;
    SddlDescriptor& operator=(const SddlDescriptor&) = delete;

    explicit operator bool() const { return descriptor_ != nullptr; }
    SECURITY_ATTRIBUTES attributes() const { return {sizeof(SECURITY_ATTRIBUTES), descriptor_, FALSE}; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
};

// The boundary "Velmarin.Kanvel" with the Administrators group in it.
class AdministratorsBoundary {
public:
    explicit AdministratorsBoundary(const NamespaceCalls& calls)
        : calls_(calls), boundary_(calls.createBoundary(kNamespaceName, 0)) {
        BYTE sid[SECURITY_MAX_SID_SIZE] = {};
        DWORD size = sizeof sid;
        if (boundary_ && (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &size) ||
                          !calls_.addSid(&boundary_, sid))) {
            calls_.deleteBoundary(boundary_);
            boundary_ = nullptr;
        }
    }
    ~AdministratorsBoundary() {
        if (boundary_) calls_.deleteBoundary(boundary_);
    }
    AdministratorsBoundary(const AdministratorsBoundary&) = delete;
    AdministratorsBoundary& operator=(const AdministratorsBoundary&) = delete;

    HANDLE get() const { return boundary_; }

private:
    const NamespaceCalls& calls_;
    HANDLE boundary_;
};

// The mutex, and the namespace kept open while it is held: once every handle
// of a namespace is closed, the next run could no longer open it.
class AdministratorsLock : public services::HeldLock {
public:
    AdministratorsLock(NamespaceCalls calls, HANDLE privateNamespace, KernelHandle mutex)
        : calls_(calls), namespace_(privateNamespace), mutex_(std::move(mutex)) {}
    ~AdministratorsLock() override {
        mutex_.reset();
        calls_.closeNamespace(namespace_, 0);
    }
    AdministratorsLock(const AdministratorsLock&) = delete;
    AdministratorsLock& operator=(const AdministratorsLock&) = delete;

private:
    NamespaceCalls calls_;
    HANDLE namespace_;
    KernelHandle mutex_;
};

// The namespace, made by the first elevated run and opened by the others.
HANDLE CreateOrOpenNamespace(const NamespaceCalls& calls, const AdministratorsBoundary& boundary,
                             SECURITY_ATTRIBUTES& attributes) {
    if (HANDLE made = calls.createNamespace(&attributes, boundary.get(), kNamespaceName)) return made;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return nullptr;
    return calls.openNamespace(boundary.get(), kNamespaceName);
}
}  // namespace

std::optional<std::unique_ptr<services::HeldLock>> ClaimAdministratorsLock(const std::wstring& name) {
    const NamespaceCalls calls = FindNamespaceCalls();
    if (!calls.complete() || !RunsElevated()) return std::nullopt;
    const SddlDescriptor descriptor(kAdministratorsOnly);
    const AdministratorsBoundary boundary(calls);
    if (!descriptor || !boundary.get()) return std::unique_ptr<services::HeldLock>();
    SECURITY_ATTRIBUTES attributes = descriptor.attributes();
    HANDLE privateNamespace = CreateOrOpenNamespace(calls, boundary, attributes);
    if (!privateNamespace) return std::unique_ptr<services::HeldLock>();
    SetLastError(ERROR_SUCCESS);
    KernelHandle mutex(CreateMutexW(&attributes, TRUE, (std::wstring(kNamespaceName) + L"\\" + name).c_str()));
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
        mutex.reset();
        calls.closeNamespace(privateNamespace, 0);
        return std::unique_ptr<services::HeldLock>();
    }
    return std::unique_ptr<services::HeldLock>(
        std::make_unique<AdministratorsLock>(calls, privateNamespace, std::move(mutex)));
}

}  // namespace kanvel::platform::win32
