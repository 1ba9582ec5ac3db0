#include "platform/backend/headless/ScriptRunner.h"

#include <fstream>
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
    value = std::strtol(text.c_str(), &end, 10);
    return end == text.c_str() + text.size();
}

class Runner {
public:
    Runner(host::Host& host, HeadlessBackend& backend, host::Form& form, std::ostream& out)
        : m_host(host)
        , m_backend(backend)
        , m_form(form)
        , m_out(out)
    { }

    void run_line(const std::string& line)
    {
        auto w = words(line);
        if (w.empty() || w[0][0] == '#')
            return;
        const std::string& command = w[0];
        size_t boxes_before = m_backend.boxes().size();
        if (command == "click") {
            expect_args(w, 2);
            auto& c = control(w[1]);
            if (!m_backend.click(c))
                throw ScriptError {2, "cannot click " + w[1] + ": it is hidden or covered"};
        } else if (command == "press") {
            if (w.size() != 2 && w.size() != 3)
                throw ScriptError {2, "press takes a control and an optional button"};
            auto& c = control(w[1]);
            int16_t button = w.size() == 3 ? parse_button(w[2]) : 1;
            if (!m_backend.press(c, button))
                throw ScriptError {2, "cannot press " + w[1] + ": it is hidden or covered"};
            m_pressed |= button;
        } else if (command == "release") {
            expect_args(w, 2);
            control(w[1]);
            int16_t buttons = m_pressed ? m_pressed : 1;
            for (int16_t b : {int16_t(1), int16_t(2), int16_t(4)}) {
                if (buttons & b)
                    m_backend.mouse_up(b);
            }
            m_pressed = 0;
        } else if (command == "move") {
            expect_args(w, 2);
            if (!m_backend.move_to(control(w[1])))
                throw ScriptError {2, "cannot move onto " + w[1] + ": it is hidden or covered"};
        } else if (command == "move-away") {
            expect_args(w, 1);
            m_backend.mouse_leave();
        } else if (command == "key") {
            expect_args(w, 3);
            auto& c = control(w[1]);
            int16_t shift = 0;
            int16_t key = parse_key(w[2], shift);
            focus(c, w[1]);
            m_backend.key(key, shift);
        } else if (command == "type") {
            auto t = words(line, 3);
            if (t.size() != 3)
                throw ScriptError {2, "type takes a control and the text to type"};
            auto& c = control(t[1]);
            focus(c, t[1]);
            m_backend.type(t[2]);
        } else if (command == "wait") {
            expect_args(w, 2);
            long ms;
            if (!parse_int(w[1], ms) || ms < 0 || ms > 86400000)
                throw ScriptError {2, "wait takes a number of milliseconds"};
            m_backend.advance(double(ms));
        } else if (command == "answer") {
            expect_args(w, 2);
            std::string a = w[1];
            if (a == "yes")
                m_backend.queue_answer(host::vbYes);
            else if (a == "no")
                m_backend.queue_answer(host::vbNo);
            else if (a == "ok")
                m_backend.queue_answer(host::vbOK);
            else
                throw ScriptError {2, "answer takes yes, no or ok"};
        } else if (command == "shot") {
            auto t = words(line, 2);
            if (t.size() != 2)
                throw ScriptError {2, "shot takes a file name"};
            auto saved = m_backend.save_screenshot(t[1]);
            if (saved.is_error())
                throw ScriptError {2, saved.error()};
        } else if (command == "dump") {
            expect_args(w, 1);
            dump();
        } else if (command == "expect-box" || command == "expect-no-box") {
            expect_args(w, 1);
            bool shown = m_backend.boxes().size() > m_checked_boxes;
            m_checked_boxes = m_backend.boxes().size();
            if (command == "expect-box" && !shown)
                throw ScriptError {1, "expected a message box, none was shown"};
            if (command == "expect-no-box" && shown)
                throw ScriptError {1, "expected no message box, but one was shown"};
        } else {
            throw ScriptError {2, "unknown command \"" + command + "\""};
        }
        if (m_backend.saw_unanswered_box()) {
            m_backend.clear_unanswered();
            const auto& box = m_backend.boxes().back();
            (void)boxes_before;
            throw ScriptError {
                2, "a message box was shown with no answer queued: \"" + c_escape(box.text) + "\""};
        }
    }

    bool ended() const { return m_host.has_ended(); }

private:
    void expect_args(const std::vector<std::string>& w, size_t count)
    {
        if (w.size() != count)
            throw ScriptError {
                2, w[0] + " takes " + std::to_string(count - 1) + " argument" + (count == 2 ? "" : "s")};
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
            if (text.rfind("shift+", 0) == 0) {
                shift |= host::vbShiftMask;
                text = text.substr(6);
            } else if (text.rfind("ctrl+", 0) == 0) {
                shift |= host::vbCtrlMask;
                text = text.substr(5);
            } else if (text.rfind("alt+", 0) == 0) {
                shift |= host::vbAltMask;
                text = text.substr(4);
            } else {
                break;
            }
        }
        long key;
        if (!parse_int(text, key) || key <= 0 || key > 254)
            throw ScriptError {2, "a key is a virtual-key code from 1 to 254, not \"" + text + "\""};
        return int16_t(key);
    }

    void dump()
    {
        for (host::Control* c : m_form.controls_in_order()) {
            m_out << c->DisplayName() << ' ' << c->kind() << ' ' << (c->Visible() ? "visible" : "hidden")
                  << ' ' << (c->Enabled() ? "enabled" : "disabled");
            std::string text = c->dump_text();
            if (!text.empty())
                m_out << ' ' << text;
            m_out << '\n';
        }
    }

    host::Host& m_host;
    HeadlessBackend& m_backend;
    host::Form& m_form;
    std::ostream& m_out;
    int16_t m_pressed {0};
    size_t m_checked_boxes {0};
};

} // namespace

int run_script(host::Host& host, HeadlessBackend& backend, host::Form& form, std::istream& script,
    std::ostream& out, std::ostream& err, const std::string& script_name)
{
    auto previous = backend.on_box_shown;
    backend.on_box_shown = [&](const HeadlessBackend::ShownBox& box) {
        out << "msgbox " << box.style << " \"" << c_escape(box.title) << "\" \"" << c_escape(box.text)
            << "\"\n";
    };
    if (host.form() != &form)
        host.show(form);
    Runner runner(host, backend, form, out);
    std::string line;
    int number = 0;
    int status = 0;
    while (std::getline(script, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        try {
            runner.run_line(line);
        } catch (const ScriptError& e) {
            err << script_name << ":" << number << ": " << e.message << '\n';
            status = e.status;
            break;
        }
        if (runner.ended()) {
            out << "program ended\n";
            break;
        }
    }
    out.flush();
    backend.on_box_shown = previous;
    return status;
}

int run_script_file(host::Host& host, HeadlessBackend& backend, host::Form& form, const std::string& path,
    std::ostream& out, std::ostream& err)
{
    std::ifstream file(path);
    if (!file) {
        err << path << ": cannot open the script\n";
        return 2;
    }
    return run_script(host, backend, form, file, out, err, path);
}

} // namespace sorrel::backend
