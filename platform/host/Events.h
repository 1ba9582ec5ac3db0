#pragma once

#include "platform/host/Variant.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace sorrel::host {

// One by-reference argument of an event raised to the form: it points at the raiser's variable,
// so a handler that assigns to it changes the raiser's value, as Basic's ByRef does.
//
//     int16_t Button = 1, Shift = 0; float X = 3, Y = 4;
//     RaiseEvent("MouseDown", {&Button, &Shift, &X, &Y});
//     // in the form:  args[0].as<int16_t>() = 0;
class EventArg {
public:
    EventArg(int16_t* p)
        : m_ref(p)
    { }
    EventArg(int32_t* p)
        : m_ref(p)
    { }
    EventArg(float* p)
        : m_ref(p)
    { }
    EventArg(double* p)
        : m_ref(p)
    { }
    EventArg(bool* p)
        : m_ref(p)
    { }
    EventArg(std::string* p)
        : m_ref(p)
    { }
    EventArg(Variant* p)
        : m_ref(p)
    { }

    // The referenced variable; asking for the wrong type is a programming error (std::bad_variant_access).
    template<class T> T& as() const { return *std::get<T*>(m_ref); }
    // The current value, typed (for transcripts and for handlers that don't care about the type).
    Variant value() const;
    // Assigns with the Basic conversion to the referenced variable's type.
    void set(const Variant& value) const;

private:
    std::variant<int16_t*, int32_t*, float*, double*, bool*, std::string*, Variant*> m_ref;
};

using EventArgs = std::span<const EventArg>;
using EventHandler = std::function<void(EventArgs args)>;

// One raised event as an event recorder transcribes it.
struct RecordedEvent {
    std::string source; // the raiser's display name: "CmdSCan", "Option(2)"
    std::string event; // "MouseDown"
    std::vector<Variant> args;

    // "CmdSCan.MouseDown(1, 0, 3, 4)"
    std::string to_string() const;
};

// Collects every event raised on the host, in order (install with Host::set_event_recorder).
class EventRecorder {
public:
    void record(RecordedEvent event) { m_events.push_back(std::move(event)); }
    const std::vector<RecordedEvent>& events() const { return m_events; }
    void clear() { m_events.clear(); }
    // One line per event (RecordedEvent::to_string), optionally only those of `source`.
    std::vector<std::string> lines(std::string_view source = {}) const;
    // Just the event names, optionally only those of `source`: {"MouseDown", "MouseUp", "Click"}.
    std::vector<std::string> names(std::string_view source = {}) const;

private:
    std::vector<RecordedEvent> m_events;
};

} // namespace sorrel::host
