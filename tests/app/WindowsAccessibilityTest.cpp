// sorrel.exe read from another process as a screen reader reads it, through Active Accessibility:
// the window's tree on each page against the trees `dump accessible` gives, then the scan and a
// removal driven by default actions alone, with the removal's bar read as it moves. Runs under
// Wine with a display; skips elsewhere.

#include "AppFixture.h"
#include "platform/base/Cp1252.h"
#include "platform/host/Accessibility.h"
#include "tests/support/RunningProgram.h"
#include "tests/support/Wine.h"

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <windows.h>

#include <oleacc.h>

using namespace sorrel;
using namespace sorrel::app::testing;
using namespace sorrel::test_support;
using host::AccessibleNode;
using host::AccessibleRole;
using host::AccessibleState;

namespace {

constexpr DWORD PageTimeoutMs = 30000;

// A COM reference, released with the pointer.
struct Release {
    void operator()(IUnknown* object) const { object->Release(); }
};
using Held = std::unique_ptr<IAccessible, Release>;

VARIANT child_id(LONG id)
{
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// One of a node's strings, as the host's Windows-1252 text; empty for none.
std::string text_of(
    IAccessible* object, LONG child, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*))
{
    BSTR text = nullptr;
    std::string bytes;
    if (SUCCEEDED((object->*get)(child_id(child), &text)) && text) {
        for (const wchar_t* c = text; *c; ++c)
            bytes += char(base::unicode_to_cp1252(char32_t(*c)).value_or(uint8_t('?')));
    }
    SysFreeString(text);
    return bytes;
}

std::optional<AccessibleRole> role_of(LONG system)
{
    constexpr std::pair<LONG, AccessibleRole> roles[] = {
        {ROLE_SYSTEM_CLIENT, AccessibleRole::Window},
        {ROLE_SYSTEM_WINDOW, AccessibleRole::Window},
        {ROLE_SYSTEM_PUSHBUTTON, AccessibleRole::PushButton},
        {ROLE_SYSTEM_RADIOBUTTON, AccessibleRole::RadioButton},
        {ROLE_SYSTEM_CHECKBUTTON, AccessibleRole::CheckBox},
        {ROLE_SYSTEM_PROGRESSBAR, AccessibleRole::ProgressBar},
        {ROLE_SYSTEM_STATICTEXT, AccessibleRole::Text},
        {ROLE_SYSTEM_GROUPING, AccessibleRole::Grouping},
        {ROLE_SYSTEM_GRAPHIC, AccessibleRole::Graphic},
        {ROLE_SYSTEM_LIST, AccessibleRole::List},
        {ROLE_SYSTEM_LISTITEM, AccessibleRole::ListItem},
        {ROLE_SYSTEM_DIALOG, AccessibleRole::Dialog},
    };
    for (auto [number, role] : roles) {
        if (number == system)
            return role;
    }
    return std::nullopt;
}

host::AccessibleStates states_of(LONG system)
{
    constexpr std::pair<LONG, AccessibleState> states[] = {
        {STATE_SYSTEM_FOCUSED, AccessibleState::Focused},
        {STATE_SYSTEM_FOCUSABLE, AccessibleState::Focusable},
        {STATE_SYSTEM_UNAVAILABLE, AccessibleState::Unavailable},
        {STATE_SYSTEM_CHECKED, AccessibleState::Checked},
        {STATE_SYSTEM_PRESSED, AccessibleState::Pressed},
        {STATE_SYSTEM_INVISIBLE, AccessibleState::Invisible},
        {STATE_SYSTEM_OFFSCREEN, AccessibleState::Offscreen},
        {STATE_SYSTEM_MIXED, AccessibleState::Mixed},
    };
    host::AccessibleStates found;
    for (auto [bit, state] : states)
        found.set(state, (system & bit) != 0);
    return found;
}

// The children of an object, as AccessibleChildren gives them: child ids, or objects.
std::vector<VARIANT> children_of(IAccessible* object, std::string& problem)
{
    LONG count = 0;
    if (FAILED(object->get_accChildCount(&count)) || count < 0) {
        problem = "get_accChildCount failed";
        return {};
    }
    std::vector<VARIANT> children(static_cast<size_t>(count));
    LONG got = 0;
    if (count > 0 && FAILED(AccessibleChildren(object, 0, count, children.data(), &got))) {
        problem = "AccessibleChildren failed";
        return {};
    }
    children.resize(size_t(got));
    if (got != count)
        problem
            = "AccessibleChildren gave " + std::to_string(got) + " of " + std::to_string(count) + " children";
    return children;
}

// One node as the program reports it, with what it holds; `problem` says what could not be read.
AccessibleNode read_node(IAccessible* object, LONG id, std::string& problem)
{
    AccessibleNode node;
    VARIANT child = child_id(id);
    VARIANT answer;
    VariantInit(&answer);
    if (FAILED(object->get_accRole(child, &answer)) || answer.vt != VT_I4 || !role_of(answer.lVal)) {
        problem
            = "a node has no role of ours (" + std::to_string(answer.vt == VT_I4 ? answer.lVal : -1) + ")";
        return node;
    }
    node.role = *role_of(answer.lVal);
    VariantInit(&answer);
    if (SUCCEEDED(object->get_accState(child, &answer)) && answer.vt == VT_I4)
        node.states = states_of(answer.lVal);
    node.name = text_of(object, id, &IAccessible::get_accName);
    node.value = text_of(object, id, &IAccessible::get_accValue);
    node.default_action = text_of(object, id, &IAccessible::get_accDefaultAction);
    node.shortcut = text_of(object, id, &IAccessible::get_accKeyboardShortcut);
    node.id = id;
    if (id != CHILDID_SELF)
        return node;
    for (VARIANT& item : children_of(object, problem)) {
        if (item.vt == VT_I4) {
            node.children.push_back(read_node(object, item.lVal, problem));
        } else if (item.vt == VT_DISPATCH && item.pdispVal) {
            IAccessible* inner = nullptr;
            if (SUCCEEDED(item.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&inner)))) {
                node.children.push_back(read_node(inner, CHILDID_SELF, problem));
                inner->Release();
            } else {
                problem = "a child object is not an IAccessible";
            }
        } else {
            problem = "a child is neither an id nor an object";
        }
        VariantClear(&item);
    }
    return node;
}

// The window's tree in the shared text form, or what went wrong.
std::string tree_text(IAccessible* window)
{
    std::string problem;
    AccessibleNode root = read_node(window, CHILDID_SELF, problem);
    return problem.empty() ? host::accessible_text(root) : "(" + problem + ")";
}

std::string expected_tree(const std::string& page)
{
    std::ifstream file(
        windows_name_of(SORREL_TEST_DATA "/app/accessible/" + page + ".txt"), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Calls `act` with the holder and child id of the first simple element that `wanted` takes,
// searching depth first; false when there is none.
bool with_element(IAccessible* object, const std::function<bool(const AccessibleNode&)>& wanted,
    const std::function<void(IAccessible*, LONG)>& act)
{
    std::string problem;
    bool done = false;
    for (VARIANT& item : children_of(object, problem)) {
        if (done) {
        } else if (item.vt == VT_I4) {
            if (wanted(read_node(object, item.lVal, problem))) {
                act(object, item.lVal);
                done = true;
            }
        } else if (item.vt == VT_DISPATCH && item.pdispVal) {
            IAccessible* inner = nullptr;
            if (SUCCEEDED(item.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&inner)))) {
                done = with_element(inner, wanted, act);
                inner->Release();
            }
        }
        VariantClear(&item);
    }
    return done;
}

// The first shown element of `role` named `name` (any name when empty).
std::function<bool(const AccessibleNode&)> shown(AccessibleRole role, const std::string& name = {})
{
    return [role, name](const AccessibleNode& node) {
        return node.role == role && (name.empty() || node.name == name)
            && !node.states.has(AccessibleState::Invisible);
    };
}

HRESULT do_default_action(IAccessible* window, const std::function<bool(const AccessibleNode&)>& wanted)
{
    HRESULT result = E_FAIL;
    with_element(window, wanted,
        [&](IAccessible* holder, LONG id) { result = holder->accDoDefaultAction(child_id(id)); });
    return result;
}

struct WindowsAccessibility : AppFixture {
    void SetUp() override
    {
        if (!under_wine() || !GetEnvironmentVariableW(L"DISPLAY", nullptr, 0))
            GTEST_SKIP() << "needs Wine and a display; .ci/test-windows runs this test under xvfb-run";
        AppFixture::SetUp();
        m_com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }
    void TearDown() override
    {
        AppFixture::TearDown();
        if (m_com)
            CoUninitialize();
    }

    // The window's client object, once the window shows.
    Held open_window(RunningProgram& sorrel)
    {
        HWND window = nullptr;
        for (DWORD start = GetTickCount(); !window && GetTickCount() - start < PageTimeoutMs; Sleep(100)) {
            window = sorrel.window();
            if (sorrel.has_ended())
                break;
        }
        IAccessible* object = nullptr;
        if (window)
            AccessibleObjectFromWindow(
                window, DWORD(OBJID_CLIENT), IID_IAccessible, reinterpret_cast<void**>(&object));
        return Held(object);
    }

    // Waits until the window's tree is the page's; the last tree read, as text, when it never is.
    std::string wait_for_page(IAccessible* window, const std::string& page)
    {
        std::string expected = expected_tree(page);
        std::string seen;
        for (DWORD start = GetTickCount(); GetTickCount() - start < PageTimeoutMs; Sleep(50)) {
            seen = tree_text(window);
            if (seen == expected)
                return {};
        }
        return "the tree never became " + page + ".txt:\n" + expected + "\nlast seen:\n" + seen;
    }

private:
    bool m_com {false};
};

// A message box of the program, once it shows.
HWND wait_for_box(const RunningProgram& sorrel)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < PageTimeoutMs; Sleep(20)) {
        if (HWND box = sorrel.message_box())
            return box;
    }
    return nullptr;
}

} // namespace

TEST_F(WindowsAccessibility, AScreenReaderScansAndRemovesThroughTheTreeAlone)
{
    older_messenger('c');
    newer_messenger('d');
    // Enough files that the removal's bar is read while it moves.
    for (int i = 0; i < 1200; ++i)
        text_file('c', std::string(OlderFolder) + "/part" + std::to_string(i) + ".dat");
    fs::path older = drive('c') / OlderFolder;

    RunningProgram sorrel(
        L"--drive \"c:=" + drive('c').wstring() + L"\" --drive \"d:=" + drive('d').wstring() + L"\"");
    ASSERT_TRUE(sorrel.started()) << "sorrel.exe did not start: error " << sorrel.start_error();
    Held window = open_window(sorrel);
    ASSERT_TRUE(window) << "no accessible object for the window; the program "
                        << (sorrel.has_ended() ? "ended" : "runs");

    EXPECT_EQ(wait_for_page(window.get(), "start"), "");
    ASSERT_EQ(do_default_action(window.get(), shown(AccessibleRole::PushButton, "Begin Scan")), S_OK);
    EXPECT_EQ(wait_for_page(window.get(), "results"), "");
    ASSERT_EQ(do_default_action(window.get(), shown(AccessibleRole::PushButton, "Remove Options")), S_OK);
    EXPECT_EQ(wait_for_page(window.get(), "remove"), "");

    // ChkOld, the first of the two boxes, comes ticked: its action unticks it, and ticks it again.
    auto old_box_ticked = [&] {
        bool ticked = false;
        with_element(window.get(), shown(AccessibleRole::CheckBox), [&](IAccessible* holder, LONG id) {
            VARIANT state;
            VariantInit(&state);
            ticked = SUCCEEDED(holder->get_accState(child_id(id), &state)) && state.vt == VT_I4
                && (state.lVal & STATE_SYSTEM_CHECKED);
        });
        return ticked;
    };
    for (bool ticked : {false, true}) {
        ASSERT_EQ(do_default_action(window.get(), shown(AccessibleRole::CheckBox)), S_OK);
        DWORD start = GetTickCount();
        while (old_box_ticked() != ticked && GetTickCount() - start < PageTimeoutMs)
            Sleep(50);
        ASSERT_EQ(old_box_ticked(), ticked);
    }

    ASSERT_EQ(do_default_action(window.get(), shown(AccessibleRole::PushButton, "Unistall")), S_OK);
    HWND confirmation = wait_for_box(sorrel);
    ASSERT_TRUE(confirmation) << "no confirmation was asked";
    // While a box is open the window takes no action.
    EXPECT_NE(do_default_action(window.get(), shown(AccessibleRole::PushButton, "Unistall")), S_OK);
    PostMessageW(confirmation, WM_COMMAND, IDYES, 0);

    // The bar's value as the removal goes, until "Complete!" asks whether to exit.
    std::vector<std::string> values;
    HWND complete = nullptr;
    for (DWORD start = GetTickCount(); !complete && GetTickCount() - start < PageTimeoutMs;) {
        if (HWND box = sorrel.message_box(); box && box != confirmation)
            complete = box;
        with_element(window.get(), shown(AccessibleRole::ProgressBar), [&](IAccessible* holder, LONG id) {
            std::string value = text_of(holder, id, &IAccessible::get_accValue);
            if (values.empty() || values.back() != value)
                values.push_back(value);
        });
    }
    ASSERT_TRUE(complete) << "the removal did not complete";
    std::string seen;
    for (const std::string& value : values)
        seen += value + " ";
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(values.back(), "100%") << seen;
    EXPECT_TRUE(std::any_of(values.begin(), values.end(),
        [](const std::string& value) { return std::stoi(value) > 0 && std::stoi(value) < 100; }))
        << "the bar was not read while it moved: " << seen;
    for (size_t i = 1; i < values.size(); ++i)
        EXPECT_LE(std::stoi(values[i - 1]), std::stoi(values[i])) << seen;

    // Yes ends the program; the object the client still holds then fails without hanging.
    PostMessageW(complete, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(sorrel.wait_for_end(10000));
    EXPECT_EQ(sorrel.exit_code(), 0u);
    // What the program had open of the folder went with it.
    EXPECT_FALSE(fs::exists(older));
    EXPECT_TRUE(fs::exists(drive('d') / NewerFolder / "msnmsgr.exe"));
    LONG count = 0;
    EXPECT_TRUE(FAILED(window->get_accChildCount(&count)));
}
