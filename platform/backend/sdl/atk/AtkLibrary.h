#pragma once

// GLib, GObject, ATK and ATK's AT-SPI bridge, loaded only when an accessibility bus is there: a
// desktop without one never maps them, and a machine without them still runs Sorrel. Calls go
// through this table, like SDL's: atk().g_object_new(...). The headers give the types only;
// their macros that call into the libraries (G_TYPE_CHECK_*, ATK_TYPE_*) are not used, and a
// function that GLib also defines as a macro is called as (atk().g_object_ref)(object).

#include <atk-bridge.h>
#include <atk/atk.h>

#include <string>

namespace sorrel::backend {

#define SORREL_ATK_FUNCTIONS(X)                                                                              \
    X(g_free)                                                                                                \
    X(g_strdup)                                                                                              \
    X(g_main_context_default)                                                                                \
    X(g_main_context_acquire)                                                                                \
    X(g_main_context_release)                                                                                \
    X(g_main_context_prepare)                                                                                \
    X(g_main_context_query)                                                                                  \
    X(g_main_context_check)                                                                                  \
    X(g_main_context_dispatch)                                                                               \
    X(g_main_context_iteration)                                                                              \
    X(g_type_register_static)                                                                                \
    X(g_type_add_interface_static)                                                                           \
    X(g_type_class_ref)                                                                                      \
    X(g_type_class_peek_parent)                                                                              \
    X(g_type_default_interface_ref)                                                                          \
    X(g_type_from_name)                                                                                      \
    X(g_type_fundamental)                                                                                    \
    X(g_object_new)                                                                                          \
    X(g_object_ref)                                                                                          \
    X(g_object_unref)                                                                                        \
    X(g_object_notify)                                                                                       \
    X(g_signal_emit_by_name)                                                                                 \
    X(g_signal_lookup)                                                                                       \
    X(g_signal_add_emission_hook)                                                                            \
    X(g_signal_remove_emission_hook)                                                                         \
    X(g_value_init)                                                                                          \
    X(g_value_set_double)                                                                                    \
    X(atk_object_get_type)                                                                                   \
    X(atk_util_get_type)                                                                                     \
    X(atk_component_get_type)                                                                                \
    X(atk_action_get_type)                                                                                   \
    X(atk_value_get_type)                                                                                    \
    X(atk_window_get_type)                                                                                   \
    X(atk_state_set_new)                                                                                     \
    X(atk_state_set_add_state)                                                                               \
    X(atk_range_new)                                                                                         \
    X(atk_object_notify_state_change)                                                                        \
    X(atk_focus_tracker_notify)                                                                              \
    X(atk_bridge_adaptor_init)                                                                               \
    X(atk_bridge_adaptor_cleanup)

struct AtkLibrary {
// A declaration, where parentheses around the name cannot go.
#define SORREL_ATK_MEMBER(name) decltype(&::name) name = nullptr; // NOLINT(bugprone-macro-parentheses)
    SORREL_ATK_FUNCTIONS(SORREL_ATK_MEMBER)
#undef SORREL_ATK_MEMBER
};

// Loads the libraries on the first call; null (with the reason in `error`) when one cannot be
// loaded or lacks a function. A failed load is not retried.
const AtkLibrary* load_atk(std::string* error = nullptr);
// The loaded libraries; only after load_atk succeeded.
const AtkLibrary& atk();

} // namespace sorrel::backend
