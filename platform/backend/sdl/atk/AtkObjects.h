#pragma once

// The ATK object types of the tree, registered with GObject at run time (the libraries are
// loaded, not linked, so GObject's type macros cannot be used).
//
//   SorrelAtkNode     any node: the application (id 0), a control, a list item, a box's button
//   SorrelAtkWindow   a top-level window (the form, a message box), with AtkWindow's signals
//   SorrelAtkRanged   a node with a range (the progress bars), with AtkValue
//
// An object holds only its node's id and reads everything else from AtkAccessibility's copy of
// the trees when asked, so a changed tree needs no object to be updated.

#include "platform/host/Control.h"

#include <atk/atk.h>

namespace sorrel::backend {

struct SorrelAtkNode {
    AtkObject parent;
    host::WindowHandle id;
};

enum class AtkNodeKind { Node, Window, Ranged };

// Registers the types, and AtkUtil's root and event listeners; once per process.
void register_atk_types();
// A new object for a node (one reference, the caller's).
AtkObject* make_atk_object(AtkNodeKind kind, host::WindowHandle id);
// Whether ATK knows the "announcement" signal (ATK 2.50 and later).
bool atk_has_announcement();

} // namespace sorrel::backend
