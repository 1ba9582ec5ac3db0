#include "platform/backend/headless/ScriptRunner.h"
#include "platform/backend/headless/ShellCommand.h"
#include "platform/base/Utf8Path.h"

#include <cerrno>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace sorrel::backend {

std::string c_escape(std::string_view text)
{
    std::string q = host::quoted(text);
    return q.substr(1, q.size() - 2);
}

namespace {

struct ScriptError {
    int status;
    std::string message;
};

std::vector<std::string> words(const std::string& line, size_t limit = 0)
{
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i])))
            ++i;
        if (i >= line.size())
            break;
        if (limit && out.size() + 1 == limit) {
            size_t end = line.find_last_not_of(" \t\r");
            out.push_back(line.substr(i, end + 1 - i));
            break;
        }
        size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
            ++i;
        out.push_back(line.substr(start, i - start));
    }
    return out;
}

bool parse_int(const std::string& text, long& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && end == text.c_str() + text.size();
}

std::string lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Key names a tester types instead of virtual-key codes.
int16_t named_key(const std::string& name)
{
    static const std::pair<const char*, int16_t> names[] = {
        {"backspace", 8},
        {"tab", 9},
        {"enter", 13},
        {"return", 13},
        {"esc", 27},
        {"escape", 27},
        {"space", 32},
        {"pageup", 33},
        {"pagedown", 34},
        {"end", 35},
        {"home", 36},
        {"left", 37},
        {"up", 38},
        {"right", 39},
        {"down", 40},
        {"insert", 45},
        {"delete", 46},
    };
    std::string key = lower(name);
    for (auto& [n, code] : names) {
        if (key == n)
            return code;
    }
    if (key.size() == 1 && key[0] >= 'a' && key[0] <= 'z')
        return int16_t(key[0] - 'a' + 'A');
    long f;
    if (key.size() >= 2 && key[0] == 'f' && parse_int(key.substr(1), f) && f >= 1 && f <= 12)
        return int16_t(111 + f);
    return 0;
}

const char* answer_word(int answer)
{
    switch (answer) {
    case host::vbYes:
        return "yes";
    case host::vbNo:
        return "no";
    case host::vbOK:
        return "ok";
    default:
        return "?";
    }
}

const char* buttons_of(int32_t style)
{
    switch (style & 0xF) {
    case host::vbYesNo:
        return "Yes and No";
    case host::vbOKOnly:
        return "OK";
    default:
        return "other";
    }
}

class Runner;

// One script command: its name, how it is written and what it does (for the help text), how many
// words its line splits into before the last one takes the rest of the line (0: every word is
// one), and the member that runs it.
struct Command {
    std::string_view name;
    std::string_view usage;
    std::string_view help;
    size_t words;
    void (Runner::*run)(const std::vector<std::string>& w);
};

class Runner {
public:
    Runner(host::Host& host, HeadlessBackend& backend, host::Form& form, std::ostream& out)
        : m_host(host)
        , m_backend(backend)
        , m_form(form)
        , m_out(out)
    { }

    void run_line(const std::string& line, int number);

    bool ended() const { return m_host.has_ended(); }

    // Answers the script queued that no box took.
    void check_nothing_left_over()
    {
        size_t left = m_backend.queued_answers();
        if (left == 0)
            return;
        throw ScriptError {2,
            std::to_string(left) + (left == 1 ? " answer was" : " answers were")
                + " queued but no box took it (first from line "
                + std::to_string(m_backend.next_answer_line()) + ")"};
    }

    // The commands, in the order of the table below.

    void click(const std::vector<std::string>& w)
    {
        expect_args(w, 2);
        if (!m_backend.click(control(w[1])))
            throw ScriptError {2, "cannot click " + w[1] + ": it is hidden or covered"};
    }

    void dblclick(const std::vector<std::string>& w)
    {
        expect_args(w, 2);
        if (!m_backend.double_click(control(w[1])))
            throw ScriptError {2, "cannot double-click " + w[1] + ": it is hidden or covered"};
    }

    void click_at(const std::vector<std::string>& w)
    {
        expect_args(w, 3);
        long x, y;
        gdi::Rect client = m_form.pixel_rect();
        if (!parse_int(w[1], x) || !parse_int(w[2], y) || x < 0 || y < 0 || x >= client.width()
            || y >= client.height())
            throw ScriptError {2,
                "click-at takes a point of the window, 0 0 to " + std::to_string(client.width() - 1) + " "
                    + std::to_string(client.height() - 1)};
        m_backend.click_at(int(x), int(y));
    }

    void press(const std::vector<std::string>& w)
    {
        if (w.size() != 2 && w.size() != 3)
            throw ScriptError {2, "press takes a control and an optional button"};
        auto& c = control(w[1]);
        int16_t button = w.size() == 3 ? parse_button(w[2]) : 1;
        if (!m_backend.press(c, button))
            throw ScriptError {2, "cannot press " + w[1] + ": it is hidden or covered"};
        m_pressed |= button;
    }

    // Releases the buttons where the pointer is; NAME names the pressed control.
    void release(const std::vector<std::string>& w)
    {
        expect_args(w, 2);
        control(w[1]);
        int16_t buttons = m_pressed ? m_pressed : 1;
        for (int16_t b : {int16_t(1), int16_t(2), int16_t(4)}) {
            if (buttons & b)
                m_backend.mouse_up(b);
        }
        m_pressed = 0;
    }

    void move(const std::vector<std::string>& w)
    {
        expect_args(w, 2);
        if (!m_backend.move_to(control(w[1])))
            throw ScriptError {2, "cannot move onto " + w[1] + ": it is hidden or covered"};
    }

    void move_away(const std::vector<std::string>& w)
    {
        expect_args(w, 1);
        m_backend.mouse_leave();
    }

    void wheel(const std::vector<std::string>& w)
    {
        expect_args(w, 3);
        auto& c = control(w[1]);
        long notches;
        if (!parse_int(w[2], notches) || notches == 0 || notches < -100 || notches > 100)
            throw ScriptError {2, "wheel takes a control and a number of notches from -100 to 100, not 0"};
        if (!m_backend.move_to(c))
            throw ScriptError {2, "cannot move onto " + w[1] + ": it is hidden or covered"};
        m_backend.mouse_wheel(int16_t(notches * 120));
    }

    void key(const std::vector<std::string>& w)
    {
        if (w.size() != 2 && w.size() != 3)
            throw ScriptError {2, "key takes a key, or a control and a key"};
        int16_t shift = 0;
        int16_t key = parse_key(w.back(), shift);
        if (w.size() == 3)
            focus(control(w[1]), w[1]);
        m_backend.key(key, shift);
    }

    void type(const std::vector<std::string>& w)
    {
        if (w.size() != 3)
            throw ScriptError {2, "type takes a control and the text to type"};
        auto& c = control(w[1]);
        focus(c, w[1]);
        m_backend.type(w[2]);
    }

    void wait(const std::vector<std::string>& w)
    {
        expect_args(w, 2);
        m_backend.advance(double(parse_ms(w)));
    }

    // answer yes|no|ok, or close: the user closes the window while the next box is open, and the
    // box gives the answer that does least (no, or ok). With "after COMMAND", COMMAND runs while
    // the box is open: the user changes something before answering.
    void answer(const std::vector<std::string>& w)
    {
        if (w.size() != 2 && (w.size() != 4 || w[2] != "after"))
            throw ScriptError {2, "answer takes yes, no, ok or close, and optionally after COMMAND"};
        const std::string& a = w[1];
        int answer = a == "yes" ? host::vbYes
            : a == "no"         ? host::vbNo
            : a == "ok"         ? host::vbOK
            : a == "close"      ? HeadlessBackend::CloseWindow
                                : 0;
        if (!answer)
            throw ScriptError {2, "answer takes yes, no, ok or close, and optionally after COMMAND"};
        std::function<void()> first;
        if (w.size() == 4) {
            // Runs while the box is open; an error there is the answer line's.
            first = [this, inner = w[3], number = m_number] {
                try {
                    run_line(inner, number);
                } catch (const ScriptError& e) {
                    if (!m_error_while_open)
                        m_error_while_open = e;
                }
            };
        }
        m_backend.queue_answer(answer, 0, m_number, std::move(first));
    }

    void close(const std::vector<std::string>& w)
    {
        expect_args(w, 1);
        m_backend.user_close();
    }

    // Whatever runs MS milliseconds from now (a scan's yields, a box's wait, a removal between two
    // files) sees the window closed.
    void close_after(const std::vector<std::string>& w)
    {
        expect_args(w, 2);
        m_backend.close_after(double(parse_ms(w)));
    }

    // The command's output goes to stderr, never into the transcript.
    void sh(const std::vector<std::string>& w)
    {
        if (w.size() != 2)
            throw ScriptError {2, "sh takes a command"};
        int status = 0;
        std::string failure = run_shell(w[1], status);
        if (!failure.empty())
            throw ScriptError {2, "sh: " + failure};
        if (status != 0)
            throw ScriptError {2, "sh: the command ended with status " + std::to_string(status)};
    }

    void shot(const std::vector<std::string>& w)
    {
        if (w.size() != 2)
            throw ScriptError {2, "shot takes a file name"};
        auto saved = m_backend.save_screenshot(w[1]);
        if (saved.is_error())
            throw ScriptError {2, saved.error().message};
    }

    void dump(const std::vector<std::string>& w)
    {
        if (w.size() == 2 && w[1] == "accessible") {
            m_out << host::accessible_text(m_host.accessible_tree());
            return;
        }
        if (w.size() == 2 && w[1] == "announcements") {
            for (const std::string& text : m_backend.announcements())
                m_out << "announce " << host::quoted(text) << '\n';
            m_backend.clear_announcements();
            return;
        }
        if (w.size() != 1)
            throw ScriptError {2, "dump takes nothing, accessible or announcements"};
        for (host::Control* c : m_form.controls_in_order()) {
            m_out << c->DisplayName() << ' ' << c->kind() << ' ' << (c->Visible() ? "visible" : "hidden")
                  << ' ' << (c->enabled_property() ? "enabled" : "disabled");
            std::string text = c->dump_text();
            if (!text.empty())
                m_out << ' ' << text;
            m_out << '\n';
        }
        host::Control* focused = m_host.focused();
        m_out << "focus " << (focused ? focused->DisplayName() : "none") << '\n';
    }

    // What a screen reader's "do default action" does: queued, then run by the host's loop.
    void action(const std::vector<std::string>& w)
    {
        expect_args(w, 2);
        auto& c = control(w[1]);
        if (!m_host.request_accessible_action(c.hWnd()))
            throw ScriptError {2, w[1] + " offers no action now (hidden, unavailable or none)"};
        m_host.DoEvents();
    }

    void expect_box(const std::vector<std::string>& w)
    {
        if (!boxes_shown_since_last_expect(w))
            throw ScriptError {1, "expected a message box, none was shown"};
    }

    void expect_no_box(const std::vector<std::string>& w)
    {
        if (boxes_shown_since_last_expect(w))
            throw ScriptError {1, "expected no message box, but one was shown"};
    }

private:
    bool boxes_shown_since_last_expect(const std::vector<std::string>& w)
    {
        expect_args(w, 1);
        bool shown = m_backend.boxes().size() > m_checked_boxes;
        m_checked_boxes = m_backend.boxes().size();
        return shown;
    }

    void check_boxes_since(size_t first)
    {
        const auto& boxes = m_backend.boxes();
        for (size_t i = first; i < boxes.size(); ++i) {
            const auto& box = boxes[i];
            std::string which = "the box \"" + c_escape(box.title) + "\" (\"" + c_escape(box.text) + "\")";
            if (!box.answered) {
                m_backend.clear_unanswered();
                throw ScriptError {2, "a message box was shown with no answer queued: " + which};
            }
            if (!box.fits) {
                throw ScriptError {2,
                    "\"answer " + std::string(answer_word(box.queued)) + "\" from line "
                        + std::to_string(box.script_line) + " does not fit " + which + ", which has "
                        + buttons_of(box.style)};
            }
        }
    }

    void expect_args(const std::vector<std::string>& w, size_t count)
    {
        if (w.size() != count)
            throw ScriptError {
                2, w[0] + " takes " + std::to_string(count - 1) + " argument" + (count == 2 ? "" : "s")};
    }

    long parse_ms(const std::vector<std::string>& w)
    {
        long ms;
        if (!parse_int(w[1], ms) || ms < 0 || ms > 86400000)
            throw ScriptError {2, w[0] + " takes a number of milliseconds"};
        return ms;
    }

    host::Control& control(const std::string& name)
    {
        host::Control* c = m_form.find(name);
        if (!c)
            throw ScriptError {2, "no control named " + name};
        return *c;
    }

    void focus(host::Control& c, const std::string& name)
    {
        if (m_host.focused() == &c)
            return;
        if (!c.can_focus() || !c.is_shown() || !c.is_effectively_enabled())
            throw ScriptError {2, name + " cannot take the focus"};
        c.SetFocus();
    }

    int16_t parse_button(const std::string& b)
    {
        if (b == "left" || b == "1")
            return 1;
        if (b == "right" || b == "2")
            return 2;
        if (b == "middle" || b == "4")
            return 4;
        throw ScriptError {2, "unknown button \"" + b + "\" (left, right, middle)"};
    }

    int16_t parse_key(std::string text, int16_t& shift)
    {
        for (;;) {
            std::string l = lower(text);
            if (l.rfind("shift+", 0) == 0) {
                shift |= host::vbShiftMask;
                text = text.substr(6);
            } else if (l.rfind("ctrl+", 0) == 0) {
                shift |= host::vbCtrlMask;
                text = text.substr(5);
            } else if (l.rfind("alt+", 0) == 0) {
                shift |= host::vbAltMask;
                text = text.substr(4);
            } else {
                break;
            }
        }
        if (int16_t key = named_key(text))
            return key;
        long key;
        if (!parse_int(text, key) || key <= 0 || key > 254)
            throw ScriptError {2,
                "a key is a name (tab, enter, space, a letter...) or a virtual-key code from 1 to 254, not \""
                    + text + "\""};
        return int16_t(key);
    }

    host::Host& m_host;
    HeadlessBackend& m_backend;
    host::Form& m_form;
    std::ostream& m_out;
    int m_number {0};
    int16_t m_pressed {0};
    size_t m_checked_boxes {0};
    std::optional<ScriptError> m_error_while_open;
};

// The help text is made from this table: sorrel --help prints it.
constexpr Command commands[] = {
    {"click", "click NAME", "a single click on the control", 0, &Runner::click},
    {"dblclick", "dblclick NAME", "a double click", 0, &Runner::dblclick},
    {"click-at", "click-at X Y", "a single click at a point of the window, in pixels", 0, &Runner::click_at},
    {"press", "press NAME [BUTTON]", "move onto the control and press (left, right, middle)", 0,
        &Runner::press},
    {"release", "release NAME", "release the pressed buttons", 0, &Runner::release},
    {"move", "move NAME", "move the pointer onto the control", 0, &Runner::move},
    {"move-away", "move-away", "move the pointer out of the window", 0, &Runner::move_away},
    {"wheel", "wheel NAME N", "turn the wheel N notches over the control (+: away)", 0, &Runner::wheel},
    {"key", "key [NAME] KEY",
        "strike a key on the focused control (or focus NAME first); KEY is tab, enter, space, esc, left..., "
        "a letter or a key code, maybe after shift+, ctrl+, alt+",
        0, &Runner::key},
    {"type", "type NAME TEXT", "focus the control and type the rest of the line", 3, &Runner::type},
    {"wait", "wait MS", "let MS milliseconds pass", 0, &Runner::wait},
    {"answer", "answer A [after CMD]",
        "the answer for the next message box: yes, no, ok, or close (the window is closed while the box is "
        "open); with after CMD, CMD runs while the box is open first",
        4, &Runner::answer},
    {"close", "close", "close the window", 0, &Runner::close},
    {"close-after", "close-after MS", "close the window MS milliseconds from now", 0, &Runner::close_after},
    {"sh", "sh COMMAND",
        "run a shell command and wait for it; $SORREL_DRIVE_C and so on hold the drives' folders", 2,
        &Runner::sh},
    {"shot", "shot FILE.png", "save the window as PNG", 2, &Runner::shot},
    {"dump", "dump [WHAT]",
        "print every control's state, then which has the focus; dump accessible prints the tree a screen "
        "reader reads, dump announcements what it was asked to say since the last such dump",
        0, &Runner::dump},
    {"action", "action NAME", "run the control's default action as a screen reader asks for it", 0,
        &Runner::action},
    {"expect-box", "expect-box", "a message box was shown since the last expect-box or expect-no-box", 0,
        &Runner::expect_box},
    {"expect-no-box", "expect-no-box", "none was", 0, &Runner::expect_no_box},
};

void Runner::run_line(const std::string& line, int number)
{
    auto w = words(line);
    if (w.empty() || w[0][0] == '#')
        return;
    const Command* command = nullptr;
    for (const Command& c : commands) {
        if (c.name == w[0])
            command = &c;
    }
    if (!command)
        throw ScriptError {2, "unknown command \"" + w[0] + "\""};
    if (command->words)
        w = words(line, command->words);
    size_t boxes_before = m_backend.boxes().size();
    m_number = number;
    (this->*command->run)(w);
    check_boxes_since(boxes_before);
    if (m_error_while_open) {
        ScriptError e = *m_error_while_open;
        m_error_while_open.reset();
        throw e;
    }
}

// Appends TEXT to OUT as lines shorter than 79 characters, the first starting at column
// `column`, the others indented to `indent`.
void wrap(std::string& out, std::string_view text, size_t column, size_t indent)
{
    size_t width = 78;
    while (!text.empty()) {
        size_t room = width - column;
        size_t cut = text.size();
        if (cut > room) {
            cut = text.rfind(' ', room);
            if (cut == std::string_view::npos || cut == 0)
                cut = text.find(' ');
        }
        out += text.substr(0, cut);
        out += '\n';
        if (cut >= text.size())
            break;
        text.remove_prefix(cut + 1);
        out.append(indent, ' ');
        column = indent;
    }
}

} // namespace

std::string script_help()
{
    constexpr size_t help_column = 23, continued = 25;
    std::string out;
    for (const Command& c : commands) {
        out += "  ";
        out += c.usage;
        if (2 + c.usage.size() + 1 > help_column) {
            out += '\n';
            out.append(help_column, ' ');
        } else {
            out.append(help_column - 2 - c.usage.size(), ' ');
        }
        wrap(out, c.help, help_column, continued);
    }
    return out;
}

int run_script(host::Host& host, HeadlessBackend& backend, host::Form& form, std::istream& script,
    std::ostream& out, std::ostream& err, const std::string& script_name)
{
    auto previous_shown = backend.on_box_shown;
    auto previous_answered = backend.on_box_answered;
    backend.on_box_shown = [&](const HeadlessBackend::ShownBox& box) {
        out << "msgbox " << box.style << " \"" << c_escape(box.title) << "\" \"" << c_escape(box.text)
            << "\"\n";
    };
    backend.on_box_answered = [&](const HeadlessBackend::ShownBox& box) {
        out << "-> ";
        if (!box.answered)
            out << "none";
        else if (box.closed)
            out << answer_word(box.answer) << " (window closed)";
        else
            out << answer_word(box.answer);
        out << '\n';
    };
    if (host.form() != &form)
        host.show(form);
    Runner runner(host, backend, form, out);
    std::string line;
    int number = 0;
    int status = 0;
    try {
        while (!host.check_for_close() && std::getline(script, line)) {
            ++number;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            runner.run_line(line, number);
        }
        if (runner.ended())
            out << "program ended\n";
        // Counted against the last line that ran.
        runner.check_nothing_left_over();
    } catch (const ScriptError& e) {
        err << script_name << ":" << number << ": " << e.message << '\n';
        status = e.status;
    }
    // The answers belong to this script; a failed one must not leave them to the next.
    backend.clear_answers();
    out.flush();
    backend.on_box_shown = previous_shown;
    backend.on_box_answered = previous_answered;
    return status;
}

int run_script_file(host::Host& host, HeadlessBackend& backend, host::Form& form, const std::string& path,
    std::ostream& out, std::ostream& err)
{
    std::ifstream file(base::utf8_path(path));
    if (!file) {
        err << path << ": cannot open the script\n";
        return 2;
    }
    return run_script(host, backend, form, file, out, err, path);
}

} // namespace sorrel::backend
