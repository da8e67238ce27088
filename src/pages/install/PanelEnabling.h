#pragma once

namespace kanvel::install {

// What the enabling rules of the install panel read.
struct PanelState {
    bool licenceAccepted = false;
    bool editionChosen = false;
    bool editionNamed = false;  // the context names an edition (its name is not empty)
    bool engineTicked = false;
    bool engineBoxEnabled = false;
    bool databaseTicked = false;
    bool databaseBoxEnabled = false;
};

// Whether each control of the panel is to be enabled. Each handler applies
// the part of these rules it is responsible for, at its moment; a control
// keeps its state until a handler applies its rule again.
struct PanelEnabling {
    bool location = false;        // the folder field and its button
    bool shortcuts = false;       // both shortcut boxes
    bool engineBox = false;       // the database engine check box
    bool engineButton = false;    // follows the engine check box
    bool databaseButton = false;  // follows the database check box
    bool programButton = false;
    bool install = false;

    friend bool operator==(const PanelEnabling&, const PanelEnabling&) = default;
};

PanelEnabling EnablingRules(const PanelState& state);

}  // namespace kanvel::install
