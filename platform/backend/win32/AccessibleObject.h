#pragma once

// Active Accessibility for the form's window: screen readers ask the window for its client object
// (WM_GETOBJECT, OBJID_CLIENT) and get an IAccessible whose children are the host's accessible
// nodes. Windows itself knows nothing of our controls, which are all drawn into the one window.
//
// [SECTION] Objects and child ids
//   A node's child id is its id in the host's tree (a WindowHandle, never 0). The window's object
//   answers for every node of the tree by child id, nested or not, since events name nodes by id
//   alone (NotifyWinEvent with OBJID_CLIENT). Nodes that hold others (frames, lists) are objects
//   of their own too, which get_accChild, enumeration and navigation hand out; the others are
//   simple elements (get_accChild answers S_FALSE).
//
// [SECTION] Lifetime
//   Every object shares one AccessibleLink with the window. The window clears the link as it
//   closes; objects a screen reader still holds then answer RPC_E_DISCONNECTED to everything.
//   The tree is read from the host afresh on every call: it is small, and a call may come at any
//   point where the thread takes messages (a scan's yields, a message box, a deletion's pauses).
//
// [SECTION] Libraries
//   oleacc.dll (and oleaut32.dll for strings) are loaded when a client first asks, and stay
//   loaded: a program that no screen reader reads never loads them, and the import table stays
//   what the window needs.

#include "platform/host/Accessibility.h"

#include <memory>
#include <string>

#include <windows.h>

#include <oleacc.h>

namespace sorrel::backend {

class Win32Backend;

struct AccessibleLink {
    Win32Backend* backend {nullptr}; // null once the window has closed
};

// The answer to WM_GETOBJECT for OBJID_CLIENT (`wparam` as the message gave it): an LRESULT from
// LresultFromObject, or 0 when the accessibility libraries are missing.
LRESULT answer_client_object(const std::shared_ptr<AccessibleLink>& link, WPARAM wparam);

// How many accessible objects of this process are alive; tests check that none are left over.
long live_accessible_objects();

// The system's role and state numbers for a node.
LONG system_role(host::AccessibleRole role);
LONG system_states(host::AccessibleStates states);
// The event a screen reader is sent for a change.
DWORD system_event(host::AccessibleEvent event);

} // namespace sorrel::backend
