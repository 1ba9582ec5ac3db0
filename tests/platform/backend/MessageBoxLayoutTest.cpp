// The message box's layout with long texts (failure lists of any size), checked without a display,
// and the box itself on a real X display (Xvfb, driven with xdotool; skips when they are missing).

#include "platform/backend/sdl/MessageBoxLayout.h"
#include "platform/backend/sdl/SdlBackend.h"
#include "platform/gdi/Surface.h"
#include "platform/host/Host.h"
#include "tests/support/Processes.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <map>
#include <sstream>
#include <thread>

using namespace sorrel;
using namespace sorrel::backend;
using namespace sorrel::test_support;

namespace {

const std::string question = "Please make sure you do not have MSN open.  Would you like to try again?";

std::string failure_message(const std::vector<std::string>& names)
{
    std::string list;
    for (auto& name : names)
        list += name + "; ";
    return "The following files were not deleted: \r\n\r\n" + list + "\r\n\r\n" + question;
}

std::vector<std::string> numbered(int count, const std::string& before, const std::string& after)
{
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back(before + std::to_string(i) + after);
    return names;
}

int text_width(std::string_view text)
{
    gdi::Surface scratch(1, 1);
    MessageBoxDC dc(scratch);
    return int(dc.measure(text).cx);
}

bool inside(const gdi::Rect& inner, const gdi::Rect& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right
        && inner.bottom <= outer.bottom;
}

// What holds for every box: it fits the room, every line fits the text area, and the text and
// the buttons lie on the box, the buttons below the text.
void expect_sound(const MessageBoxLayout& layout, MessageBoxRoom room)
{
    EXPECT_LE(layout.width, room.width);
    EXPECT_LE(layout.height, room.height);
    gdi::Rect box {0, 0, layout.width, layout.height};
    EXPECT_TRUE(inside(layout.text, box));
    EXPECT_EQ(layout.text.height(), int(layout.lines.size()) * layout.line_height);
    for (auto& line : layout.lines)
        EXPECT_LE(text_width(line), layout.text.width()) << line;
    ASSERT_EQ(layout.buttons.size(), 2u);
    for (auto& button : layout.buttons) {
        EXPECT_TRUE(inside(button, box));
        EXPECT_GE(button.top, layout.text.bottom);
    }
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (auto& line : lines)
        all += line + "\n";
    return all;
}

} // namespace

TEST(MessageBoxLayout, FortyNamesWrapBetweenNamesAndAllShow)
{
    const MessageBoxRoom room = message_box_room(800, 600, 1);
    auto names = numbered(40, "msgslang", ".dll");
    auto layout = layout_message_box(failure_message(names), true, 2, room);
    expect_sound(layout, room);
    ASSERT_GT(layout.lines.size(), 5u);
    EXPECT_EQ(layout.lines[0], "The following files were not deleted:");
    EXPECT_EQ(layout.lines[1], "");
    EXPECT_EQ(layout.lines.back(), question);
    EXPECT_EQ(layout.lines[layout.lines.size() - 2], "");
    // The list breaks only after a "; ", and every name shows whole.
    std::string all = joined(layout.lines);
    EXPECT_EQ(all.find("..."), std::string::npos);
    for (size_t i = 2; i + 2 < layout.lines.size(); ++i) {
        EXPECT_EQ(layout.lines[i].substr(0, 8), "msgslang") << layout.lines[i];
        EXPECT_EQ(layout.lines[i].back(), ';') << layout.lines[i];
    }
    for (auto& name : names)
        EXPECT_NE(all.find(name + ";"), std::string::npos) << name;
    // The box is as wide as the room lets the list be, not wider.
    EXPECT_GT(layout.width, room.width * 3 / 4);
}

TEST(MessageBoxLayout, NinetyNamesWithLineBreaksAreCutAboveTheQuestion)
{
    const MessageBoxRoom room = message_box_room(800, 600, 1);
    auto layout
        = layout_message_box(failure_message(numbered(90, "Messenger\r\nfile ", ".txt")), true, 2, room);
    expect_sound(layout, room);
    // The box grew to the screen's height and the text was cut there.
    EXPECT_GT(layout.height, room.height - 2 * layout.line_height);
    EXPECT_EQ(layout.lines.back(), question);
    EXPECT_EQ(layout.lines[layout.lines.size() - 2], "");
    const std::string& cut = layout.lines[layout.lines.size() - 3];
    ASSERT_GE(cut.size(), 3u);
    EXPECT_EQ(cut.substr(cut.size() - 3), "...");
    EXPECT_EQ(joined(layout.lines).find("..."), joined(layout.lines).size() - question.size() - 6);
}

TEST(MessageBoxLayout, AnEnormousWordBreaksInsideAndIsCut)
{
    const MessageBoxRoom room = message_box_room(1024, 768, 1);
    std::string word(100000, 'W');
    auto layout = layout_message_box(word, false, 2, room);
    expect_sound(layout, room);
    ASSERT_GT(layout.lines.size(), 10u);
    EXPECT_EQ(layout.lines.front(), std::string(layout.lines.front().size(), 'W'));
    EXPECT_GT(text_width(layout.lines.front() + "W"), layout.text.width()); // filled to the edge
    EXPECT_EQ(layout.lines.back().substr(layout.lines.back().size() - 3), "...");

    // Inside a list the names around it stay whole.
    auto list = layout_message_box(failure_message({"a.txt", word.substr(0, 300), "b.txt"}), true, 2, room);
    expect_sound(list, room);
    EXPECT_EQ(list.lines[2], "a.txt;");
    const std::string& last = list.lines[list.lines.size() - 3];
    EXPECT_TRUE(last.ends_with("b.txt;") && !last.ends_with("Wb.txt;")) << last;
}

TEST(MessageBoxLayout, ShortTextsKeepTheirLinesAndTheNarrowestBox)
{
    const MessageBoxRoom room = message_box_room(800, 600, 1);
    auto done
        = layout_message_box("Unistall Successfuly Completed!\r\n\r\nDo you want to exit?", false, 2, room);
    EXPECT_EQ(done.lines,
        (std::vector<std::string> {"Unistall Successfuly Completed!", "", "Do you want to exit?"}));
    auto ok = layout_message_box("Done.", false, 1, room);
    EXPECT_EQ(ok.width, 160);
    EXPECT_EQ(ok.lines, std::vector<std::string> {"Done."});

    // With six pixels a character and a text area nine characters wide: breaks at the last
    // space that fits, the space dropped, leading spaces of a line of its own kept.
    auto six = [](std::string_view s) { return int(s.size()) * 6; };
    auto narrow = layout_message_box(" - aaa; bbb; ccc\nx", false, 2, {24 + 54, 600}, six, 10);
    EXPECT_EQ(narrow.lines, (std::vector<std::string> {" - aaa;", "bbb; ccc", "x"}));
    // A room for three lines: the cut line gets "...", the question stays.
    auto cut = layout_message_box("1\n2\n3\n4\n5\nquestion", false, 2, {200, 3 * 12 + 23 + 30}, six, 10);
    EXPECT_EQ(cut.lines, (std::vector<std::string> {"1", "2...", "question"}));
}

TEST(MessageBoxLayout, OnARealScreenTheButtonsStayOnTheBoxAndAnswer)
{
    if (!on_path("Xvfb") || !on_path("xdotool"))
        GTEST_SKIP() << "Xvfb or xdotool is not installed (Debian packages xvfb and xdotool)";
    Xvfb xvfb;
    ASSERT_FALSE(xvfb.display().empty()) << "Xvfb did not start";
    setenv("DISPLAY", xvfb.display().c_str(), 1);
    unsetenv("SDL_VIDEODRIVER");
    auto created = SdlBackend::create(1);
    ASSERT_TRUE(created) << created.error().message;
    host::Host host(created.release_value());

    std::string text = failure_message(numbered(90, "Messenger\r\nfile ", ".txt"));
    auto layout = layout_message_box(text, true, 2, message_box_room(800, 600, 1));
    const gdi::Rect& yes = layout.buttons[0];
    std::string env = "DISPLAY=" + xvfb.display() + " ";
    std::string geometry;
    std::atomic<bool> answered {false};
    std::thread user([&] {
        // The box may be found before it is mapped or reads input, and a click then is lost, so the
        // click is given again until the box answers. If that never happens the box is closed, so
        // the test fails instead of waiting for ever.
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        std::string window;
        while (!answered && std::chrono::steady_clock::now() < deadline) {
            if (window.empty()) {
                window = output_of(env
                    + "timeout 5 xdotool search --sync --onlyvisible --name '^Oh No!$' 2>/dev/null | head -n "
                      "1");
                if (window.empty())
                    continue;
                geometry = output_of(env + "xdotool getwindowgeometry --shell " + window);
            }
            output_of(env + "xdotool mousemove --window " + window + " "
                + std::to_string((yes.left + yes.right) / 2) + " "
                + std::to_string((yes.top + yes.bottom) / 2) + " click 1");
            for (int i = 0; i < 20 && !answered; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (!answered) {
            SDL_Event quit {};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
    });
    int answer = host.MsgBox(text, host::vbYesNo + host::vbInformation, "Oh No!");
    answered = true;
    user.join();
    EXPECT_EQ(answer, host::vbYes);

    // The window is the box as laid out, whole on the screen.
    std::map<std::string, int> shape;
    std::istringstream lines(geometry);
    for (std::string line; std::getline(lines, line);) {
        auto equals = line.find('=');
        if (equals != std::string::npos)
            shape[line.substr(0, equals)] = std::atoi(line.c_str() + equals + 1);
    }
    EXPECT_EQ(shape["WIDTH"], layout.width) << geometry;
    EXPECT_EQ(shape["HEIGHT"], layout.height) << geometry;
    EXPECT_GE(shape["Y"], 0);
    EXPECT_LE(shape["Y"] + shape["HEIGHT"], 600);
    EXPECT_GE(shape["X"], 0);
    EXPECT_LE(shape["X"] + shape["WIDTH"], 800);
}
