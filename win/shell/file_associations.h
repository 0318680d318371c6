// Per-user file associations of the five image types, as the Options dialog's page "登録"
// shows and applies them. Win32.
#pragma once
#include <array>

#include "core/commands/shell_integration.h"

namespace pelio {

struct AssociationState {
    std::array<bool, kFileTypeCount> checked{};  // the check boxes, in FileType order
    std::array<bool, kFileTypeCount> initial{};  // as read, or as last applied
    bool enabled = false;         // the boxes can be changed (only on the oldest systems)
    bool showOldRemoval = false;  // the button "旧関連付け削除" and its note are shown
};

// When the page opens. On newer systems the boxes are disabled and clear and nothing is read;
// otherwise a box is ticked when the "Applications" open command names this program and its
// type's first extension has this program as the user's choice.
AssociationState ReadAssociations();

// On OK and Apply: every type whose box differs from its remembered state is written (ticked:
// the user's choice for each of its extensions; cleared: that choice removed where it names
// this program) and remembered; when a type was ticked the "Applications" open command is
// made to name this program.
void ApplyAssociations(AssociationState& state);

}  // namespace pelio
