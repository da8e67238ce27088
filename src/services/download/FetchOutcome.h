#pragma once

#include <string>

namespace kanvel::services {

// What one call of the component download did, for the steps that record
// what an installation did. The user has already been told of a failure.
struct FetchOutcome {
    enum class Result {
        Fetched,               // a body was transferred and stored
        AlreadyThere,          // the file was there and the call does not replace it: nothing done
        KeptWithoutExtension,  // an authenticated call found a file without extension: kept
        Failed,                // the transfer or the storing failed; the old file is as it was
        Refused,               // another transfer was running: nothing done
    };
    // Connection: the network failed (the user is told to check the
    // connection); Signature: a program file whose signature is not the
    // maker's; NotAsListed: a file of a local copy of the server that is
    // not as the copy's list names it, or not listed; ProxySignIn: the
    // proxy wanted a user name and password that it did not get; DiskFull:
    // the target volume has too little free space for the file; Other:
    // anything else (the server's answer, an incomplete body, the local file).
    enum class Failure { None, Connection, Signature, NotAsListed, ProxySignIn, DiskFull, Other };

    FetchOutcome(Result result, Failure failure = Failure::None, std::wstring message = {})
        : result(result), failure(failure), message(std::move(message)) {}

    Result result = Result::AlreadyThere;
    Failure failure = Failure::None;
    // The message the user was shown for a failure.
    std::wstring message;

    // The caller's Boolean: the file is now in place from this call.
    bool stored() const { return result == Result::Fetched || result == Result::KeptWithoutExtension; }
    bool failed() const { return result == Result::Failed; }
};

}  // namespace kanvel::services
