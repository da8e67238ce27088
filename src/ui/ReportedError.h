#pragma once

#include <exception>
#include <string>

namespace kanvel::ui {

// An error that says how the default handler reports it when it escapes an
// event handler: with its text in the error box, or not at all.
class ReportedError : public std::exception {
public:
    // The text for the error box.
    virtual std::wstring reportText() const = 0;
    // True for an error that ends the handler without any message.
    virtual bool silent() const { return false; }
};

}  // namespace kanvel::ui
