#include "pages/install/PanelEnabling.h"

namespace kanvel::install {

namespace {
// A component button is usable exactly when the licence is accepted and its
// check box is ticked and enabled.
bool Follows(bool accepted, bool ticked, bool boxEnabled) { return accepted && ticked && boxEnabled; }
}  // namespace

PanelEnabling EnablingRules(const PanelState& state) {
    const bool acceptedAndChosen = state.licenceAccepted && state.editionChosen;
    PanelEnabling rules;
    rules.location = acceptedAndChosen;
    rules.shortcuts = state.licenceAccepted;
    rules.engineBox = state.licenceAccepted;
    rules.engineButton = Follows(state.licenceAccepted, state.engineTicked, state.engineBoxEnabled);
    rules.databaseButton = Follows(state.licenceAccepted, state.databaseTicked, state.databaseBoxEnabled);
    rules.programButton = state.editionNamed && acceptedAndChosen;
    rules.install = acceptedAndChosen;
    return rules;
}

}  // namespace kanvel::install
