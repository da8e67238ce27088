#pragma once

#include <memory>

#include "services/http/HttpClient.h"

namespace kanvel::services {

// Makes the HTTP client of the installer.
class HttpClientFactory {
public:
    virtual ~HttpClientFactory() = default;

    virtual std::unique_ptr<HttpClient> CreateHttpClient() = 0;
};

}  // namespace kanvel::services
