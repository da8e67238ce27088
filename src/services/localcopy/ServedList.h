#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "services/http/HttpClient.h"

namespace kanvel::services {

// Collects the bytes of a list (or of its signature), no more than a list
// may have; more throws InstallerError.
class ListBytes : public ByteSink {
public:
    void Write(const std::uint8_t* data, std::size_t size) override;
    std::string bytes;
};

// A list of files and its detached signature beside it, as a server (or a
// copy of it served at an address) serves them at a folder's address.
struct ServedList {
    // The list; nothing when it could not be had.
    std::optional<std::string> text;
    // The signature; nothing when the server has none.
    std::optional<std::string> signature;
    // The server answered that it has no list (404, 410).
    bool missing = false;
    // Why the list could not be had, with the address asked for.
    std::wstring failure;

    // Fetches both from folderUrl (ending in "/"), without credentials.
    static ServedList Fetch(HttpClient& client, const std::wstring& folderUrl);
};

}  // namespace kanvel::services
