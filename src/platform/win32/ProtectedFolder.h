#pragma once

#include <string>

#include "services/system/FolderProtection.h"

namespace kanvel::platform::win32 {

// The protection in Windows' SDDL text: its owner, and its entries alone
// (the access list protected from the parent's), each inherited by the
// files and folders made inside. The running account is named by its SID.
std::wstring ProtectionDescriptor(const services::FolderProtection& protection, const std::wstring& account);

// Creates a folder with the protection given when it is made.
bool CreateProtectedFolder(const std::wstring& path, const services::FolderProtection& protection);

// Gives an existing folder the protection, as services::FileSystem
// describes ProtectExistingFolder: every check and change is made through a
// handle opened without following a reparse point, and the folders are taken
// from the top down, so that what is checked inside already lies behind the
// new protection. The owner is written only where it changes (an account
// may change the rights of its own files, not take ownership). Descriptors
// are written with SetKernelObjectSecurity, which changes the opened object
// alone: SetSecurityInfo would carry the change by name into everything
// below, hard-linked files included, before they were checked.
services::FolderAdoption AdoptProtectedFolder(const std::wstring& path, const services::FolderProtection& protection);

}  // namespace kanvel::platform::win32
