#include "HostTestSupport.h"

#include "platform/host/Timer.h"

#include <gtest/gtest.h>

using namespace sorrel;
using namespace sorrel::host;
using namespace sorrel::host::testing;

namespace {
struct Timers : HostFixture, ::testing::Test {
    std::vector<std::string> ticks;
    std::string at(const char* name) { return std::string(name) + "@" + std::to_string(int(host->now_ms())); }
};
} // namespace

TEST_F(Timers, DueTimersFireInOrderOnTheVirtualClock)
{
    auto& uc = add("UC", 0, 0, 10, 10);
    Timer fast(uc, "Fast", 10, true);
    Timer slow(uc, "Slow", 25, true);
    Timer off(uc, "Off", 5, false);
    fast.on_tick = [&] { ticks.push_back(at("fast")); };
    slow.on_tick = [&] { ticks.push_back(at("slow")); };
    off.on_tick = [&] { ticks.push_back(at("off")); };
    host->show(*form);
    headless->advance(9);
    EXPECT_TRUE(ticks.empty());
    headless->advance(51); // to 60 ms
    EXPECT_EQ(ticks,
        (std::vector<std::string> {
            "fast@10", "fast@20", "slow@25", "fast@30", "fast@40", "fast@50", "slow@50", "fast@60"}));
}

TEST_F(Timers, SettingIntervalOrEnabledRestartsTheCount)
{
    auto& uc = add("UC", 0, 0, 10, 10);
    Timer t(uc, "T", 100, true);
    t.on_tick = [&] { ticks.push_back(at("t")); };
    headless->advance(60);
    t.Interval(100); // counts from now: next at 160
    headless->advance(99);
    EXPECT_TRUE(ticks.empty());
    headless->advance(1);
    t.Enabled(false);
    headless->advance(500);
    t.Enabled(true);
    headless->advance(100);
    t.Interval(0); // stops without disabling
    headless->advance(500);
    EXPECT_TRUE(t.Enabled());
    EXPECT_EQ(ticks, (std::vector<std::string> {"t@160", "t@760"}));
}

TEST_F(Timers, ATickThatStopsItsTimerOrAnotherIsHonoured)
{
    auto& uc = add("UC", 0, 0, 10, 10);
    Timer a(uc, "A", 10, true);
    Timer b(uc, "B", 10, true);
    a.on_tick = [&] {
        ticks.push_back(at("a"));
        b.Enabled(false);
    };
    b.on_tick = [&] { ticks.push_back(at("b")); };
    headless->advance(30);
    EXPECT_EQ(ticks, (std::vector<std::string> {"a@10", "a@20", "a@30"}));
}

TEST_F(Timers, DoEventsRunsDueTimersButNoTimePasses)
{
    auto& uc = add("UC", 0, 0, 10, 10);
    Timer t(uc, "T", 10, true);
    t.on_tick = [&] { ticks.push_back(at("t")); };
    host->DoEvents();
    EXPECT_TRUE(ticks.empty());
    headless->sleep_ms(10); // time passes without events being handled
    EXPECT_TRUE(ticks.empty());
    host->DoEvents();
    EXPECT_EQ(ticks, (std::vector<std::string> {"t@10"}));
}

TEST_F(Timers, MessageBoxesAreRecordedAndAnsweredFromTheQueue)
{
    host->show(*form);
    headless->queue_answer(vbYes);
    EXPECT_EQ(host->MsgBox("Delete?", vbYesNo + vbCritical, "Confirm"), vbYes);
    EXPECT_EQ(host->MsgBox("Value can NOT be higher than Maximum !", 16, "Error"), vbOK); // nothing queued
    EXPECT_TRUE(headless->saw_unanswered_box());
    host->set_app_title("Sorrel");
    headless->queue_answer(vbOK);
    host->MsgBox("plain");
    ASSERT_EQ(headless->boxes().size(), 3u);
    EXPECT_EQ(headless->boxes()[0].style, 20);
    EXPECT_EQ(headless->boxes()[0].title, "Confirm");
    EXPECT_FALSE(headless->boxes()[1].answered);
    EXPECT_EQ(headless->boxes()[2].title, "Sorrel"); // the default title
}

TEST_F(Timers, TimersKeepRunningWhileBoxesAreOpenAndBoxesNest)
{
    auto& uc = add("UC", 0, 0, 10, 10);
    Timer t(uc, "T", 10, true);
    int answers_in_ticks = 0;
    t.on_tick = [&] {
        ticks.push_back(at("t"));
        if (ticks.size() == 2) // the second tick opens a box of its own, answered after 25 ms
            answers_in_ticks += host->MsgBox("inner", vbYesNo) == vbNo;
    };
    host->show(*form);
    headless->queue_answer(vbYes, 50); // the outer box stays open 50 ms
    headless->queue_answer(vbNo, 25);
    int outer = host->MsgBox("outer", vbYesNo);
    EXPECT_EQ(outer, vbYes);
    EXPECT_EQ(answers_in_ticks, 1);
    // The ticking timer is not entered again while its own tick shows a box; when that box
    // closes (at 45) the missed ticks come as one, and the count goes on from there.
    EXPECT_EQ(ticks, (std::vector<std::string> {"t@10", "t@20", "t@45"}));
    ASSERT_EQ(headless->boxes().size(), 2u);
    EXPECT_EQ(headless->boxes()[0].text, "outer");
    EXPECT_EQ(headless->boxes()[1].text, "inner");
    EXPECT_EQ(host->modal_depth(), 0);
}

TEST_F(Timers, InputIsRefusedWhileABoxIsOpen)
{
    auto& uc = add("UC", 10, 10, 50, 50);
    Timer t(uc, "T", 10, true);
    t.on_tick = [&] {
        if (host->modal_depth() > 0)
            headless->click(uc);
    };
    host->show(*form);
    uc.log.clear();
    headless->queue_answer(vbOK, 30);
    host->MsgBox("wait");
    EXPECT_TRUE(uc.log.empty());
}

TEST_F(Timers, EndStopsTimersAndFurtherBoxes)
{
    auto& uc = add("UC", 0, 0, 10, 10);
    Timer t(uc, "T", 10, true);
    t.on_tick = [&] { ticks.push_back(at("t")); };
    host->show(*form);
    host->End();
    headless->advance(100);
    EXPECT_TRUE(ticks.empty());
    EXPECT_EQ(host->MsgBox("gone?", vbYesNo), vbNo);
    EXPECT_TRUE(headless->boxes().empty());
}

TEST_F(Timers, TimeOfDayFollowsTheVirtualClockAndWrapsAtMidnight)
{
    headless->set_time_of_day(86399.5);
    EXPECT_FLOAT_EQ(host->seconds_since_midnight(), 86399.5f);
    headless->advance(1000);
    EXPECT_NEAR(host->seconds_since_midnight(), 0.5f, 1e-3);
    headless->sleep_ms(150);
    EXPECT_NEAR(host->seconds_since_midnight(), 0.65f, 1e-3);
}

TEST_F(Timers, ACloseWhileNestedBoxesAreOpenEndsThemAllWithTheLeastAnswer)
{
    auto& uc = add("UC", 0, 0, 10, 10);
    Timer t(uc, "T", 10, true);
    std::vector<int> inner_answers;
    t.on_tick = [&] {
        ticks.push_back(at("t"));
        if (ticks.size() == 1) {
            // A box of the tick's own, during which the window is closed.
            inner_answers.push_back(host->MsgBox("inner", vbOKOnly));
            // The close waits for the outer box: nothing more is shown meanwhile.
            inner_answers.push_back(host->MsgBox("again?", vbYesNo));
        }
    };
    host->show(*form);
    headless->queue_answer(vbYes, 100); // the outer box would stay open 100 ms
    headless->queue_answer(backend::HeadlessBackend::CloseWindow);
    EXPECT_EQ(host->MsgBox("outer", vbYesNo), vbNo);
    EXPECT_EQ(inner_answers, (std::vector<int> {vbOK, vbNo}));
    EXPECT_TRUE(host->has_ended());
    EXPECT_EQ(ticks, (std::vector<std::string> {"t@10"}));
    ASSERT_EQ(headless->boxes().size(), 2u);
    EXPECT_TRUE(headless->boxes()[0].closed);
    EXPECT_TRUE(headless->boxes()[1].closed);
}

TEST_F(Timers, CloseRequestsEndTheProgramAtTheNextLook)
{
    host->show(*form);
    // Outside a box a close ends the program at once.
    headless->user_close();
    EXPECT_TRUE(host->has_ended());
}

TEST_F(Timers, ASignalsCloseIsTakenUpByDoEventsABoxOrALongStep)
{
    host->show(*form);
    Host::request_close_from_signal();
    EXPECT_FALSE(host->has_ended()); // only recorded
    EXPECT_TRUE(host->check_for_close());
    EXPECT_EQ(host->MsgBox("still here?", vbYesNo), vbNo);
    EXPECT_TRUE(headless->boxes().empty());
}

TEST_F(Timers, ACloseDueDuringABoxsWaitStopsTheClockThere)
{
    auto& uc = add("UC", 0, 0, 10, 10);
    Timer t(uc, "T", 10, true);
    t.on_tick = [&] { ticks.push_back(at("t")); };
    host->show(*form);
    headless->close_after(25);
    headless->queue_answer(vbYes, 100);
    EXPECT_EQ(host->MsgBox("long", vbYesNo), vbNo);
    EXPECT_TRUE(host->has_ended());
    EXPECT_EQ(ticks, (std::vector<std::string> {"t@10", "t@20"}));
    EXPECT_EQ(host->now_ms(), 25);
}
