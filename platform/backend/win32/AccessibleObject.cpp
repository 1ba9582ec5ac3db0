#include "platform/backend/win32/AccessibleObject.h"

#include "platform/backend/win32/Win32Backend.h"
#include "platform/backend/win32/WindowScale.h"
#include "platform/base/Cp1252.h"
#include "platform/host/Host.h"

#include <algorithm>
#include <atomic>

// [SECTION] Libraries
// [SECTION] Roles, states, events
// [SECTION] The object
// [SECTION] IAccessible
// [SECTION] IEnumVARIANT

namespace sorrel::backend {

using host::AccessibleNode;
using host::WindowHandle;

namespace {

std::atomic<long> s_live_objects {0};

// [SECTION] Libraries

struct Libraries {
    LRESULT(WINAPI* lresult_from_object)(REFIID, WPARAM, LPUNKNOWN) {nullptr};
    HRESULT(WINAPI* create_std_accessible_object)(HWND, LONG, REFIID, void**) {nullptr};
    BSTR(WINAPI* sys_alloc_string_len)(const OLECHAR*, UINT) {nullptr};
};

template<typename Function> void look_up(Function& function, HMODULE module, const char* name)
{
    function = module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                      : nullptr;
}

// Null when a library or one of its functions is missing (never on XP and later).
const Libraries* libraries()
{
    static const Libraries* loaded = []() -> const Libraries* {
        static Libraries found;
        HMODULE oleacc = LoadLibraryW(L"oleacc.dll");
        HMODULE oleaut = LoadLibraryW(L"oleaut32.dll");
        look_up(found.lresult_from_object, oleacc, "LresultFromObject");
        look_up(found.create_std_accessible_object, oleacc, "CreateStdAccessibleObject");
        look_up(found.sys_alloc_string_len, oleaut, "SysAllocStringLen");
        if (found.lresult_from_object && found.create_std_accessible_object && found.sys_alloc_string_len)
            return &found;
        return nullptr;
    }();
    return loaded;
}

// A host text (Windows-1252) as a string the caller frees; S_FALSE and no string for an empty
// text, as clients expect of a property that is absent.
HRESULT answer_text(const std::string& text, BSTR* out)
{
    *out = nullptr;
    if (text.empty())
        return S_FALSE;
    std::wstring wide;
    wide.reserve(text.size());
    for (char c : text)
        wide += wchar_t(base::cp1252_to_unicode(uint8_t(c)));
    *out = libraries()->sys_alloc_string_len(wide.data(), UINT(wide.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// A node and the node that holds it (null for the root).
struct Place {
    const AccessibleNode* node {nullptr};
    const AccessibleNode* parent {nullptr};
};

Place place_in(const AccessibleNode& node, WindowHandle id, const AccessibleNode* parent = nullptr)
{
    if (node.id == id)
        return {&node, parent};
    for (const AccessibleNode& child : node.children) {
        if (Place found = place_in(child, id, &node); found.node)
            return found;
    }
    return {};
}

// The deepest shown node under a point of the form's client area, searching the last child first
// (it is drawn last, on top); the node itself when no child holds the point.
const AccessibleNode& node_at(const AccessibleNode& node, gdi::Point point)
{
    for (auto child = node.children.rbegin(); child != node.children.rend(); ++child) {
        if (child->states.has(host::AccessibleState::Invisible)
            || child->states.has(host::AccessibleState::Offscreen)
            || !child->bounds.contains(point.x, point.y))
            continue;
        return node_at(*child, point);
    }
    return node;
}

// The node whose focused state is set, in the subtree; null when none is.
const AccessibleNode* focused_in(const AccessibleNode& node)
{
    if (node.states.has(host::AccessibleState::Focused))
        return &node;
    for (const AccessibleNode& child : node.children) {
        if (const AccessibleNode* found = focused_in(child))
            return found;
    }
    return nullptr;
}

} // namespace

// [SECTION] Roles, states, events

LONG system_role(host::AccessibleRole role)
{
    using host::AccessibleRole;
    switch (role) {
    case AccessibleRole::Window:
        // The window's client area, as the system's own windows describe theirs.
        return ROLE_SYSTEM_CLIENT;
    case AccessibleRole::PushButton:
        return ROLE_SYSTEM_PUSHBUTTON;
    case AccessibleRole::RadioButton:
        return ROLE_SYSTEM_RADIOBUTTON;
    case AccessibleRole::CheckBox:
        return ROLE_SYSTEM_CHECKBUTTON;
    case AccessibleRole::ProgressBar:
        return ROLE_SYSTEM_PROGRESSBAR;
    case AccessibleRole::Text:
        return ROLE_SYSTEM_STATICTEXT;
    case AccessibleRole::Grouping:
        return ROLE_SYSTEM_GROUPING;
    case AccessibleRole::Graphic:
        return ROLE_SYSTEM_GRAPHIC;
    case AccessibleRole::List:
        return ROLE_SYSTEM_LIST;
    case AccessibleRole::ListItem:
        return ROLE_SYSTEM_LISTITEM;
    case AccessibleRole::Dialog:
        return ROLE_SYSTEM_DIALOG;
    }
    return ROLE_SYSTEM_CLIENT;
}

LONG system_states(host::AccessibleStates states)
{
    using host::AccessibleState;
    constexpr std::pair<AccessibleState, LONG> map[] = {
        {AccessibleState::Focused, STATE_SYSTEM_FOCUSED},
        {AccessibleState::Focusable, STATE_SYSTEM_FOCUSABLE},
        {AccessibleState::Unavailable, STATE_SYSTEM_UNAVAILABLE},
        {AccessibleState::Checked, STATE_SYSTEM_CHECKED},
        {AccessibleState::Pressed, STATE_SYSTEM_PRESSED},
        {AccessibleState::Invisible, STATE_SYSTEM_INVISIBLE},
        {AccessibleState::Offscreen, STATE_SYSTEM_OFFSCREEN},
        {AccessibleState::Mixed, STATE_SYSTEM_MIXED},
    };
    LONG system = 0;
    for (auto [state, bit] : map) {
        if (states.has(state))
            system |= bit;
    }
    return system;
}

DWORD system_event(host::AccessibleEvent event)
{
    using host::AccessibleEvent;
    switch (event) {
    case AccessibleEvent::Focus:
        return EVENT_OBJECT_FOCUS;
    case AccessibleEvent::State:
        return EVENT_OBJECT_STATECHANGE;
    case AccessibleEvent::Value:
        return EVENT_OBJECT_VALUECHANGE;
    case AccessibleEvent::Name:
        return EVENT_OBJECT_NAMECHANGE;
    case AccessibleEvent::Show:
        return EVENT_OBJECT_SHOW;
    case AccessibleEvent::Hide:
        return EVENT_OBJECT_HIDE;
    case AccessibleEvent::TreeChanged:
        return EVENT_OBJECT_REORDER;
    }
    return EVENT_OBJECT_REORDER;
}

long live_accessible_objects()
{
    return s_live_objects.load();
}

// [SECTION] The object

namespace {

class AccessibleObject final : public IAccessible, public IEnumVARIANT {
public:
    // `id` 0 is the window's own object, which stands for the tree's root whatever its id.
    AccessibleObject(std::shared_ptr<AccessibleLink> link, WindowHandle id)
        : m_link(std::move(link))
        , m_id(id)
    {
        ++s_live_objects;
    }
    ~AccessibleObject()
    {
        if (m_standard)
            m_standard->Release();
        --s_live_objects;
    }
    AccessibleObject(const AccessibleObject&) = delete;
    AccessibleObject& operator=(const AccessibleObject&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch: clients of Active Accessibility call IAccessible directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(
        DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(
        LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

    // IEnumVARIANT: the children, which AccessibleChildren reads this way (child ids are not
    // 1 to the count).
    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, VARIANT* items, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override;

private:
    // The tree as the host has it now, and this object's node in it.
    struct Snapshot {
        AccessibleNode tree;
        Place self;
    };

    Win32Backend* backend() const { return m_link->backend; }
    bool is_window() const { return m_id == 0; }
    // The tree and this object's node; null once the window or the node is gone.
    std::unique_ptr<Snapshot> snapshot() const;
    // The node a child id names, from this object: CHILDID_SELF is the object's own node.
    HRESULT resolve(const Snapshot& snapshot, const VARIANT& child, Place& place) const;
    // A node as a client receives it: CHILDID_SELF for this object's node, an object for one
    // that holds others, else its child id.
    void answer_node(const Snapshot& snapshot, const AccessibleNode& node, VARIANT* out);
    // The window's own object from the system, for what lies outside the client area.
    IAccessible* standard();
    template<typename Answer> HRESULT text_of(const VARIANT& child, BSTR* out, Answer answer) const;
    template<typename Answer> HRESULT number_of(const VARIANT& child, VARIANT* out, Answer answer) const;

    std::atomic<ULONG> m_references {1};
    std::shared_ptr<AccessibleLink> m_link;
    WindowHandle m_id;
    IAccessible* m_standard {nullptr};
    ULONG m_cursor {0}; // the enumeration's position among the children
};

HRESULT STDMETHODCALLTYPE AccessibleObject::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
        *out = static_cast<IAccessible*>(this);
    } else if (iid == __uuidof(IEnumVARIANT)) {
        *out = static_cast<IEnumVARIANT*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE AccessibleObject::Release()
{
    ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

std::unique_ptr<AccessibleObject::Snapshot> AccessibleObject::snapshot() const
{
    Win32Backend* window = backend();
    if (!window || !window->host())
        return nullptr;
    // On the heap, where the places pointing into the tree stay valid.
    auto snapshot = std::make_unique<Snapshot>(Snapshot {window->host()->accessible_tree(), {}});
    snapshot->self = is_window() ? Place {&snapshot->tree, nullptr} : place_in(snapshot->tree, m_id);
    if (!snapshot->self.node)
        return nullptr;
    return snapshot;
}

HRESULT AccessibleObject::resolve(const Snapshot& snapshot, const VARIANT& child, Place& place) const
{
    if (child.vt != VT_I4)
        return E_INVALIDARG;
    if (child.lVal == CHILDID_SELF) {
        place = snapshot.self;
        return S_OK;
    }
    // Any node of the window by its id, not only this object's children: events name nodes by
    // id alone, and clients ask the window's object about them.
    place = place_in(snapshot.tree, WindowHandle(child.lVal));
    return place.node ? S_OK : E_INVALIDARG;
}

void AccessibleObject::answer_node(const Snapshot& snapshot, const AccessibleNode& node, VARIANT* out)
{
    if (&node == snapshot.self.node) {
        out->vt = VT_I4;
        out->lVal = CHILDID_SELF;
    } else if (!node.children.empty() || &node == &snapshot.tree) {
        out->vt = VT_DISPATCH;
        out->pdispVal
            = static_cast<IAccessible*>(new AccessibleObject(m_link, &node == &snapshot.tree ? 0 : node.id));
    } else {
        out->vt = VT_I4;
        out->lVal = LONG(node.id);
    }
}

IAccessible* AccessibleObject::standard()
{
    Win32Backend* window = backend();
    if (!m_standard && window && window->window()) {
        void* object = nullptr;
        if (SUCCEEDED(libraries()->create_std_accessible_object(
                window->window(), OBJID_CLIENT, __uuidof(IAccessible), &object)))
            m_standard = static_cast<IAccessible*>(object);
    }
    return m_standard;
}

template<typename Answer>
HRESULT AccessibleObject::text_of(const VARIANT& child, BSTR* out, Answer answer) const
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    auto now = snapshot();
    if (!now)
        return RPC_E_DISCONNECTED;
    Place place;
    if (HRESULT result = resolve(*now, child, place); FAILED(result))
        return result;
    return answer_text(answer(*place.node), out);
}

// A whole-number property of `child` (its role, its states), as VT_I4.
template<typename Answer>
HRESULT AccessibleObject::number_of(const VARIANT& child, VARIANT* out, Answer answer) const
{
    if (!out)
        return E_POINTER;
    out->vt = VT_EMPTY;
    auto now = snapshot();
    if (!now)
        return RPC_E_DISCONNECTED;
    Place place;
    if (HRESULT result = resolve(*now, child, place); FAILED(result))
        return result;
    out->vt = VT_I4;
    out->lVal = answer(*place.node);
    return S_OK;
}

// [SECTION] IAccessible

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accParent(IDispatch** parent)
{
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    auto now = snapshot();
    if (!now)
        return RPC_E_DISCONNECTED;
    if (is_window()) {
        IAccessible* system = standard();
        return system ? system->get_accParent(parent) : S_FALSE;
    }
    const AccessibleNode* holder = now->self.parent;
    *parent = static_cast<IAccessible*>(new AccessibleObject(m_link, holder == &now->tree ? 0 : holder->id));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accChildCount(LONG* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    auto now = snapshot();
    if (!now)
        return RPC_E_DISCONNECTED;
    *count = LONG(now->self.node->children.size());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accChild(VARIANT child, IDispatch** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    auto now = snapshot();
    if (!now)
        return RPC_E_DISCONNECTED;
    Place place;
    if (HRESULT result = resolve(*now, child, place); FAILED(result))
        return result;
    // A simple element: the client asks this object about it by its id.
    if (place.node->children.empty() || place.node == now->self.node)
        return S_FALSE;
    *object = static_cast<IAccessible*>(new AccessibleObject(m_link, place.node->id));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accName(VARIANT child, BSTR* name)
{
    return text_of(child, name, [](const AccessibleNode& node) { return node.name; });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accValue(VARIANT child, BSTR* value)
{
    return text_of(child, value, [](const AccessibleNode& node) { return node.value; });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accDescription(VARIANT child, BSTR* description)
{
    return text_of(child, description, [](const AccessibleNode& node) { return node.description; });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    return text_of(child, shortcut, [](const AccessibleNode& node) { return node.shortcut; });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accDefaultAction(VARIANT child, BSTR* action)
{
    return text_of(child, action, [](const AccessibleNode& node) { return node.default_action; });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accHelp(VARIANT child, BSTR* help)
{
    return text_of(child, help, [](const AccessibleNode&) { return std::string(); });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accHelpTopic(BSTR* file, VARIANT, LONG* topic)
{
    if (file)
        *file = nullptr;
    if (topic)
        *topic = -1;
    return backend() ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accRole(VARIANT child, VARIANT* role)
{
    return number_of(child, role, [](const AccessibleNode& node) { return system_role(node.role); });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accState(VARIANT child, VARIANT* state)
{
    return number_of(child, state, [](const AccessibleNode& node) { return system_states(node.states); });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accFocus(VARIANT* focus)
{
    if (!focus)
        return E_POINTER;
    focus->vt = VT_EMPTY;
    auto now = snapshot();
    if (!now)
        return RPC_E_DISCONNECTED;
    // Only while the window has the keyboard does anything in it have the focus.
    if (GetFocus() != backend()->window())
        return S_FALSE;
    const AccessibleNode* focused = focused_in(*now->self.node);
    if (!focused)
        return S_FALSE;
    answer_node(*now, *focused, focus);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accSelection(VARIANT* selection)
{
    if (!selection)
        return E_POINTER;
    selection->vt = VT_EMPTY;
    return backend() ? S_FALSE : RPC_E_DISCONNECTED;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::accSelect(LONG, VARIANT)
{
    return backend() ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::accLocation(
    LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child)
{
    if (!left || !top || !width || !height)
        return E_POINTER;
    *left = *top = *width = *height = 0;
    auto now = snapshot();
    if (!now)
        return RPC_E_DISCONNECTED;
    Place place;
    if (HRESULT result = resolve(*now, child, place); FAILED(result))
        return result;
    // The form's pixels are drawn at the window's scale from the client area's top-left.
    int scale = backend()->scale();
    gdi::Point origin = backend()->client_origin();
    const gdi::Rect& bounds = place.node->bounds;
    *left = origin.x + bounds.left * scale;
    *top = origin.y + bounds.top * scale;
    *width = bounds.width() * scale;
    *height = bounds.height() * scale;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::accNavigate(LONG direction, VARIANT start, VARIANT* end)
{
    if (!end)
        return E_POINTER;
    end->vt = VT_EMPTY;
    auto now = snapshot();
    if (!now)
        return RPC_E_DISCONNECTED;
    Place place;
    if (HRESULT result = resolve(*now, start, place); FAILED(result))
        return result;
    const AccessibleNode& from = *place.node;
    switch (direction) {
    case NAVDIR_FIRSTCHILD:
    case NAVDIR_LASTCHILD:
        if (from.children.empty())
            return S_FALSE;
        answer_node(*now, direction == NAVDIR_FIRSTCHILD ? from.children.front() : from.children.back(), end);
        return S_OK;
    case NAVDIR_NEXT:
    case NAVDIR_PREVIOUS: {
        // The window among the desktop's windows is the system's business.
        if (!place.parent) {
            IAccessible* system = standard();
            return system ? system->accNavigate(direction, start, end) : S_FALSE;
        }
        const auto& siblings = place.parent->children;
        size_t index = size_t(&from - siblings.data());
        size_t to = direction == NAVDIR_NEXT ? index + 1 : index - 1; // past the end when index is 0
        if (to >= siblings.size())
            return S_FALSE;
        answer_node(*now, siblings[to], end);
        return S_OK;
    }
    default:
        // Up, down, left and right: the controls have no grid to move in.
        return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT STDMETHODCALLTYPE AccessibleObject::accHitTest(LONG x, LONG y, VARIANT* child)
{
    if (!child)
        return E_POINTER;
    child->vt = VT_EMPTY;
    auto now = snapshot();
    if (!now)
        return RPC_E_DISCONNECTED;
    int scale = backend()->scale();
    gdi::Point origin = backend()->client_origin();
    gdi::Point point {unscale(int(x) - origin.x, scale), unscale(int(y) - origin.y, scale)};
    const AccessibleNode& self = *now->self.node;
    if (!self.bounds.contains(point.x, point.y))
        return S_FALSE;
    answer_node(*now, node_at(self, point), child);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::accDoDefaultAction(VARIANT child)
{
    auto now = snapshot();
    if (!now)
        return RPC_E_DISCONNECTED;
    Place place;
    if (HRESULT result = resolve(*now, child, place); FAILED(result))
        return result;
    // Queued: the action may open a message box, and the caller must not wait for it.
    if (place.node == &now->tree || !backend()->host()->request_accessible_action(place.node->id))
        return DISP_E_MEMBERNOTFOUND;
    backend()->wake();
    return S_OK;
}

// [SECTION] IEnumVARIANT

HRESULT STDMETHODCALLTYPE AccessibleObject::Next(ULONG wanted, VARIANT* items, ULONG* fetched)
{
    if (fetched)
        *fetched = 0;
    if (!items)
        return E_POINTER;
    auto now = snapshot();
    if (!now)
        return RPC_E_DISCONNECTED;
    const auto& children = now->self.node->children;
    ULONG given = 0;
    while (given < wanted && m_cursor < children.size()) {
        answer_node(*now, children[m_cursor++], &items[given++]);
    }
    if (fetched)
        *fetched = given;
    return given == wanted ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::Skip(ULONG count)
{
    auto now = snapshot();
    if (!now)
        return RPC_E_DISCONNECTED;
    size_t children = now->self.node->children.size();
    size_t skipped = std::min<size_t>(count, children - std::min<size_t>(m_cursor, children));
    m_cursor += ULONG(skipped);
    return skipped == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::Reset()
{
    m_cursor = 0;
    return backend() ? S_OK : RPC_E_DISCONNECTED;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::Clone(IEnumVARIANT** copy)
{
    if (!copy)
        return E_POINTER;
    *copy = nullptr;
    if (!backend())
        return RPC_E_DISCONNECTED;
    auto* clone = new AccessibleObject(m_link, m_id);
    clone->m_cursor = m_cursor;
    *copy = static_cast<IEnumVARIANT*>(clone);
    return S_OK;
}

} // namespace

LRESULT answer_client_object(const std::shared_ptr<AccessibleLink>& link, WPARAM wparam)
{
    const Libraries* calls = libraries();
    if (!calls)
        return 0;
    auto* object = new AccessibleObject(link, 0);
    LRESULT result
        = calls->lresult_from_object(__uuidof(IAccessible), wparam, static_cast<IAccessible*>(object));
    // LresultFromObject holds its own reference for the client, if it made one.
    object->Release();
    return result < 0 ? 0 : result;
}

} // namespace sorrel::backend
