#pragma once

#include "ui/Geometry.h"

namespace kanvel::licence {

// What the main window asks of the install page that start-up moved into
// it. The install form answers; the main window never writes its controls.
class InstallPage {
public:
    virtual ~InstallPage() = default;

    virtual bool PageShown() const = 0;
    // Shows the page with the part of its enabling rules that follows the
    // licence choice.
    virtual void ShowForLicenceChoice() = 0;
    // After an acceptance: tells of an old default folder on the location,
    // and makes a missing install folder the location itself.
    virtual void PrepareInstallFolder() = 0;
    // Clears the edition choice and hides the page.
    virtual void LeavePage() = 0;
    // Where the cursor glides after an acceptance (onto the edition choice),
    // as a designed offset from the main window's left edge and client top.
    virtual ui::Point EditionChoicePoint() const = 0;
};

}  // namespace kanvel::licence
