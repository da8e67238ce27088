#pragma once

namespace kanvel::platform::win32 {

// Loads from System32 the DLLs that the system's own network and
// certificate DLLs load only on first need (WinHTTP's certificate, TLS and
// network-interface helpers, and what those load in turn). A loader that
// looks for such a late load in the program's own folder whatever
// SetDefaultDllDirectories says (Wine's does, for its built-in DLLs' delay
// imports) would otherwise run a DLL planted beside the installer under one
// of these names. Once loaded, every later load by name takes the module
// already in memory. Call it once, right after the search is restricted.
void PreloadLateSystemDlls();

}  // namespace kanvel::platform::win32
