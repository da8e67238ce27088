#pragma once

#include <memory>
#include <string>

#include "services/installer/InstallerContext.h"
#include "services/system/Clock.h"
#include "services/system/FileSystem.h"
#include "services/system/PlatformRoles.h"
#include "ui/Application.h"

namespace kanvel::notice {

class TFormQst;

// Texts the pages use as notice titles.
inline constexpr const wchar_t* kTitleWarning = L"Uwaga!";

// The modal notice of one run: made on demand, freed when it closes.
class Notices {
public:
    Notices(services::PlatformRoles<services::FileSystem, services::Clock> platform, ui::Application& application,
            const services::InstallerContext& context);
    ~Notices();
    Notices(const Notices&) = delete;
    Notices& operator=(const Notices&) = delete;

    // The window notices are centred on (the main window), once it exists.
    void setOwner(const ui::Form& owner) { owner_ = &owner; }

    // Title (the window caption, not drawn), two lines and an "&Ok" button.
    // With logToFile the text is first appended to the message log. Returns
    // when the notice has closed, or at once when a notice is already on
    // screen (it then takes the new texts and closes when its own run resumes).
    void ShowNotice(const std::wstring& title, const std::wstring& line1, const std::wstring& line2, bool logToFile);
    // One line, not logged. Note the order: the text first, the title second.
    void ShowShortNotice(const std::wstring& text, const std::wstring& title);

    // The notice on screen, or nullptr while none is open.
    TFormQst* dialog() const { return FormQst.get(); }

private:
    // Where the message log goes, and the time it notes.
    services::PlatformRoles<services::FileSystem, services::Clock> platform_;
    ui::Application& application_;
    const services::InstallerContext& context_;
    const ui::Form* owner_ = nullptr;
    // Empty while no notice is open.
    std::unique_ptr<TFormQst> FormQst;
};

}  // namespace kanvel::notice
