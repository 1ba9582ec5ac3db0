// The button's model: new instances, the property store round trip, damaged stores, and the
// setter rules by mode with their marks and messages.

#include "QuillButtonTestSupport.h"

#include "platform/host/PropertyBag.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace sorrel;
using namespace sorrel::controls;
using namespace sorrel::controls::testing_support;

namespace {

constexpr gdi::Color ButtonFace = 0xC8D0D4;

class ButtonModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        gdi::reset_sys_colors();
        gdi::reset_version_info();
        int index = gdi::COLOR_BTNFACE;
        gdi::SetSysColors(1, &index, &ButtonFace);
    }
    void TearDown() override
    {
        gdi::reset_sys_colors();
        gdi::reset_version_info();
    }
};

void set_platform(gdi::DWORD id, gdi::DWORD major, gdi::DWORD minor)
{
    gdi::OSVERSIONINFOA info {};
    info.dwOSVersionInfoSize = sizeof(info);
    info.dwPlatformId = id;
    info.dwMajorVersion = major;
    info.dwMinorVersion = minor;
    gdi::set_version_info(info);
}

std::vector<std::string> keys_of(const host::PropertyBag& bag)
{
    std::vector<std::string> keys;
    for (auto& entry : bag)
        keys.push_back(entry.key);
    return keys;
}

TEST_F(ButtonModel, NewInstanceTakesItsNameAndTimesNewRomanInTheContainersSize)
{
    ButtonHost h(true);
    auto form_font = host::StdFont::create("Arial", 12);
    h.form->Font(form_font);
    auto& b = h.add("CmdSCan", 10, 10, 100, 30);

    EXPECT_EQ(b.Caption(), "CmdSCan");
    ASSERT_TRUE(b.Font());
    EXPECT_EQ(b.Font()->Name(), "Times New Roman");
    EXPECT_EQ(b.Font()->Size(), 12);
    // The window's own font keeps its face.
    EXPECT_EQ(form_font->Name(), "Arial");
    EXPECT_EQ(b.ButtonType(), 2);
    EXPECT_EQ(b.ColorScheme(), 1);
    EXPECT_EQ(b.BackColor(), ButtonFace);
    EXPECT_EQ(b.MouseOver(), 0u);
    EXPECT_EQ(b.EmbossEngraveMid(), 0xC0C0C0u);
    EXPECT_EQ(b.GradientStopColor(), 0xFF0000u);
    EXPECT_TRUE(b.Enabled());
    EXPECT_TRUE(b.ShowFocus());
    EXPECT_FALSE(b.Value());
    QuillButtonTestAccess access(b);
    EXPECT_EQ(access.requested_mode(), -1);
    // Nothing is painted before the window shows the button.
    EXPECT_FALSE(access.paint_ready());
}

TEST_F(ButtonModel, SavedButtonHoldsEveryKeyAndLoadsBackIdentical)
{
    ButtonHost h(true);
    auto& b = h.add("Cmd1", 10, 10, 100, 30);
    b.ButtonType(4);
    b.ButtonStyle(2);
    b.ForeColor(0x123456);
    b.MouseOver(0x00FF00);
    b.CaptionStyle(3);
    b.Alignment(0);
    b.IconSize(3);
    b.GradientOrientation(1);
    b.Caption("Save && &Exit");
    b.OptionButton(true);
    b.Value(true);
    b.MousePointer(11);

    host::PropertyBag saved;
    b.UserControl_WriteProperties(saved);
    std::vector<std::string> expected_keys {"BTNICON", "BTYPE", "TX", "ENAB", "FONT", "COLTYPE", "BCOL",
        "FCOL", "FCOLO", "EMBOSSM", "EMBOSSS", "MPTR", "MICON", "ALIGN", "ICONAlign", "ORIENT", "STYLE",
        "IconSize", "SHOWF", "BSTYLE", "OPTVAL", "OPTMOD", "GStart", "GStop", "GStyle", "GMODE"};
    EXPECT_EQ(keys_of(saved), expected_keys);
    EXPECT_EQ(saved.ReadProperty("MPTR").type(), host::VariantType::Integer);
    EXPECT_EQ(saved.ReadProperty("ENAB").type(), host::VariantType::Boolean);
    EXPECT_TRUE(saved.ReadProperty("BCOL").is_color());

    auto& loaded = h.add("Cmd2", 10, 50, 100, 30, nullptr, -1, &saved);
    host::PropertyBag again;
    loaded.UserControl_WriteProperties(again);
    ASSERT_EQ(keys_of(again), expected_keys);
    for (size_t i = 0; i < saved.size(); ++i)
        EXPECT_TRUE(saved.entries()[i].value == again.entries()[i].value) << saved.entries()[i].key;
    EXPECT_EQ(loaded.Caption(), "Save && &Exit");
    EXPECT_EQ(loaded.ColorScheme(), 2);
    EXPECT_EQ(loaded.MousePointer(), 11);
}

TEST_F(ButtonModel, FormFileRoundTripKeepsEveryProperty)
{
    register_quill_button();
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("sorrel-button-model-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string text;
    host::PropertyBag before;
    {
        ButtonHost h(true);
        auto& b = h.add("Cmd1", 10, 10, 120, 40);
        b.ButtonType(5);
        b.GradientStartColor(0x336699);
        b.GradientOrientation(3);
        b.Caption("Remove \"Options\"");
        b.Font()->Bold(true);
        b.Font()->Size(11.25);
        b.Icon(host::StdPicture::from_surface(gdi::Surface(16, 16, 0xFF2040C0), host::PictureType::Bitmap));
        b.GraphicsMode(2);
        b.Enabled(false);
        b.UserControl_WriteProperties(before);
        auto saved = h.form->save_text(dir.string());
        ASSERT_FALSE(saved.is_error()) << saved.error();
        text = saved.value();
    }
    ButtonHost h(true);
    auto loaded = h.form->load_text(text, dir.string(), true);
    ASSERT_FALSE(loaded.is_error()) << loaded.error();
    auto* b = dynamic_cast<QuillButton*>(h.form->find("Cmd1"));
    ASSERT_TRUE(b);
    host::PropertyBag after;
    b->UserControl_WriteProperties(after);
    ASSERT_EQ(keys_of(after), keys_of(before));
    for (size_t i = 0; i < before.size(); ++i) {
        auto& key = before.entries()[i].key;
        if (key == "BTNICON")
            continue; // a picture compares by identity; its pixels are compared below
        EXPECT_TRUE(before.entries()[i].value == after.entries()[i].value) << key;
    }
    ASSERT_TRUE(b->Icon());
    EXPECT_EQ(b->Icon()->pixels(), before.ReadProperty("BTNICON").to_picture()->pixels());
    EXPECT_TRUE(b->Font()->Bold());
    fs::remove_all(dir);
}

TEST_F(ButtonModel, DamagedStoreLoadsAsItIsAndNeverBreaksLaterSteps)
{
    struct Case {
        const char* key;
        host::Variant value;
    };
    std::vector<Case> cases {{"BTYPE", int32_t(0)}, {"BTYPE", int32_t(99)}, {"BSTYLE", int32_t(7)},
        {"IconSize", int32_t(-3)}, {"COLTYPE", int32_t(42)}, {"ALIGN", int32_t(-8)}, {"ORIENT", int32_t(5)},
        {"GStyle", int32_t(9)}, {"BTYPE", "not a number"}, {"MPTR", int32_t(70000)}, {"FONT", "Arial"},
        {"STYLE", int32_t(12)}, {"IconAlign", int32_t(3)}};
    auto icon = host::StdPicture::from_surface(gdi::Surface(32, 32, 0xFF00FF00), host::PictureType::Icon);
    for (auto& c : cases) {
        ButtonHost h;
        host::PropertyBag bag;
        bag.add(c.key, c.value);
        bag.add("BTNICON", icon);
        bag.add("ENAB", false);
        auto& b = h.add("Cmd1", 10, 10, 100, 30, nullptr, -1, &bag);
        h.show();
        h.move(20, 20);
        h.press(20, 20);
        h.release(20, 20);
        b.Move(150, 150, 90 * 15, 40 * 15);
        b.RefreshButton();
        EXPECT_TRUE(b.Font()) << c.key;
    }

    ButtonHost h;
    host::PropertyBag bag;
    bag.add("BTYPE", int32_t(99));
    bag.add("BSTYLE", int32_t(7));
    auto& b = h.add("Cmd1", 10, 10, 100, 30, nullptr, -1, &bag);
    h.show();
    // Stored values are not validated; the outline of an unknown style is the plain rectangle.
    EXPECT_EQ(b.ButtonType(), 99);
    EXPECT_EQ(b.ButtonStyle(), 7);
    gdi::HRGN region = b.window_region();
    ASSERT_TRUE(region);
    EXPECT_TRUE(gdi::PtInRegion(region, 0, 0));
    EXPECT_TRUE(gdi::PtInRegion(region, 99, 29));
}

TEST_F(ButtonModel, LoadingFollowsThePlatform)
{
    // NT 4.0: no gradient fill and the compatible caption mode.
    set_platform(2, 4, 0);
    ButtonHost h;
    host::PropertyBag bag;
    bag.add("COLTYPE", int32_t(5));
    auto& b = h.add("Cmd1", 10, 10, 100, 30, nullptr, -1, &bag);
    EXPECT_EQ(b.ColorScheme(), 2);
    EXPECT_EQ(b.GraphicsMode(), 1);
    EXPECT_EQ(QuillButtonTestAccess(b).requested_mode(), 1);
    // A stored mode of its own is kept.
    host::PropertyBag forced;
    forced.add("GMODE", int32_t(2));
    EXPECT_EQ(h.add("Cmd2", 10, 50, 100, 30, nullptr, -1, &forced).GraphicsMode(), 2);
    // An unknown stored mode asks the platform again.
    host::PropertyBag automatic;
    automatic.add("GMODE", int32_t(-1));
    EXPECT_EQ(h.add("Cmd3", 10, 90, 100, 30, nullptr, -1, &automatic).GraphicsMode(), 1);
}

TEST_F(ButtonModel, DesignOnlySettingsDoNothingAtRunTime)
{
    ButtonHost h;
    auto& b = h.add("Cmd1", 10, 10, 100, 30);
    h.show();
    b.clear_changed_properties();
    b.ButtonType(5);
    b.ButtonStyle(1);
    b.ColorScheme(3);
    b.Alignment(2);
    b.CaptionOrientation(1);
    b.IconSize(4);
    b.IconAlignmentValue(1);
    b.ShowFocus(false);
    b.BackColor(0x112233);
    EXPECT_EQ(b.ButtonType(), 2);
    EXPECT_EQ(b.ButtonStyle(), 0);
    EXPECT_EQ(b.ColorScheme(), 1);
    EXPECT_EQ(b.Alignment(), 1);
    EXPECT_EQ(b.CaptionOrientation(), 0);
    EXPECT_EQ(b.IconSize(), 2);
    EXPECT_EQ(b.IconAlignmentValue(), 0);
    EXPECT_TRUE(b.ShowFocus());
    EXPECT_EQ(b.BackColor(), ButtonFace);
    EXPECT_TRUE(b.changed_properties().empty());
    EXPECT_TRUE(h.backend->messages.empty());

    // Settings that act in both modes, and custom colours once the scheme is custom.
    b.Caption("Go");
    b.GradientOrientation(77);
    EXPECT_EQ(b.Caption(), "Go");
    EXPECT_EQ(b.GradientOrientation(), 77);
    EXPECT_TRUE(b.changed_properties().empty());
}

TEST_F(ButtonModel, RunTimeFaceChangeStillLeavesTheGradientScheme)
{
    ButtonHost h;
    host::PropertyBag bag;
    bag.add("COLTYPE", int32_t(5));
    auto& b = h.add("Cmd1", 10, 10, 100, 30, nullptr, -1, &bag);
    b.ButtonType(3);
    EXPECT_EQ(b.ButtonType(), 2);
    EXPECT_EQ(b.ColorScheme(), 2);
    // With a custom scheme the colours take at run time.
    b.BackColor(0x404040);
    EXPECT_EQ(b.BackColor(), 0x404040u);
    EXPECT_EQ(QuillButtonTestAccess(b).face(), 0x404040u);
}

TEST_F(ButtonModel, RefusedValuesChangeNothing)
{
    ButtonHost h(true);
    auto& b = h.add("Cmd1", 10, 10, 100, 30);
    b.clear_changed_properties();
    b.ButtonType(0);
    b.ButtonType(9);
    b.ButtonStyle(-1);
    b.ButtonStyle(4);
    b.IconSize(0);
    b.IconSize(5);
    b.Alignment(3);
    b.ColorScheme(6);
    b.CaptionStyle(4);
    b.ButtonType(2); // the current value
    EXPECT_EQ(b.ButtonType(), 2);
    EXPECT_EQ(b.ButtonStyle(), 0);
    EXPECT_EQ(b.IconSize(), 2);
    EXPECT_EQ(b.Alignment(), 1);
    EXPECT_EQ(b.ColorScheme(), 1);
    EXPECT_EQ(b.CaptionStyle(), 0);
    EXPECT_TRUE(b.changed_properties().empty());
}

TEST_F(ButtonModel, CustomColourAtDesignTimeSwitchesTheSchemeAndMarksItsKeys)
{
    ButtonHost h(true);
    auto& b = h.add("Cmd1", 10, 10, 100, 30);
    b.clear_changed_properties();
    b.ForeColor(0x0000FF);
    EXPECT_EQ(b.ColorScheme(), 2);
    EXPECT_EQ(b.changed_properties(), (std::vector<std::string> {"COLTYPE", "BCOL", "FCOLO", "FCOL"}));
    // The other custom colours keep what they held: a new instance's MouseOver is black.
    EXPECT_EQ(b.BackColor(), ButtonFace);
    EXPECT_EQ(b.MouseOver(), 0u);
    QuillButtonTestAccess access(b);
    EXPECT_EQ(access.text(), 0x0000FFu);
    EXPECT_EQ(access.hover_text(), 0u);

    b.clear_changed_properties();
    b.EmbossEngraveShadow(0x808080);
    EXPECT_EQ(b.changed_properties(), (std::vector<std::string> {"EMBOSSS"}));

    // A system-colour reference is stored as the colour it stands for.
    b.BackColor(0x8000000F);
    EXPECT_EQ(b.BackColor(), ButtonFace);
    b.BackColor(0x80000012);
    EXPECT_EQ(b.BackColor(), gdi::GetSysColor(gdi::COLOR_BTNTEXT));
}

TEST_F(ButtonModel, StyleAndSchemeSettersMarkInOrder)
{
    ButtonHost h(true);
    auto& b = h.add("Cmd1", 10, 10, 100, 30);
    b.CaptionOrientation(2);
    b.clear_changed_properties();
    b.ButtonStyle(3);
    EXPECT_EQ(b.CaptionOrientation(), 0);
    EXPECT_EQ(b.changed_properties(), (std::vector<std::string> {"ORIENT", "BSTYLE"}));

    b.CaptionStyle(2);
    b.clear_changed_properties();
    b.ColorScheme(3);
    EXPECT_EQ(b.changed_properties(),
        (std::vector<std::string> {"COLTYPE", "BCOL", "FCOL", "FCOLO", "EMBOSSM", "EMBOSSS"}));
    // Styled captions need custom colours.
    EXPECT_EQ(b.CaptionStyle(), 0);
    EXPECT_EQ(b.BackColor(), 0xC0C0C0u);

    b.clear_changed_properties();
    b.GradientStopColor(0x00FF00);
    EXPECT_EQ(b.ColorScheme(), 5);
    EXPECT_EQ(b.changed_properties(),
        (std::vector<std::string> {"COLTYPE", "FCOL", "FCOLO", "BCOL", "GStart", "GStop"}));
    b.clear_changed_properties();
    b.GradientOrientation(3);
    b.IconSize(1);
    b.ShowFocus(false);
    EXPECT_EQ(b.changed_properties(), (std::vector<std::string> {"GStyle", "IconSize", "SHOWF"}));
}

TEST_F(ButtonModel, MessagesAreShownWithTheirTextsAndIcons)
{
    ButtonHost h(true);
    auto& b = h.add("Cmd1", 10, 10, 100, 30);
    b.ButtonType(3);
    b.GradientStartColor(0x0000FF);
    EXPECT_EQ(b.GradientStartColor(), 0u);
    EXPECT_EQ(b.ColorScheme(), 1);
    b.GraphicsMode(0);
    ASSERT_EQ(h.backend->messages.size(), 2u);
    EXPECT_EQ(h.backend->messages[0].text,
        "This option is not available for Windowx XP or Machintosh style buttons");
    EXPECT_EQ(h.backend->messages[0].style, 64);
    EXPECT_EQ(h.backend->messages[1].text,
        "Caution: Using non-default may cause buttons to not display properly on other operating systems.");
    EXPECT_EQ(h.backend->messages[1].style, 48);
    EXPECT_EQ(b.GraphicsMode(), 0);

    // Windows 95 has no gradient fill: no scheme change at all.
    set_platform(1, 4, 0);
    b.ColorScheme(2);
    EXPECT_EQ(b.ColorScheme(), 1);
    ASSERT_EQ(h.backend->messages.size(), 3u);
    EXPECT_EQ(h.backend->messages[2].text,
        "This option is not available on the following operating systems.\r\n\r\n - Win NT 4 and lower\r\n"
        " - Windows 95 and earlier");
    EXPECT_EQ(h.backend->messages[2].style, 64);
}

TEST_F(ButtonModel, CautionAlsoAtRunTimeAndAutomaticModeFollowsThePlatform)
{
    ButtonHost h;
    auto& b = h.add("Cmd1", 10, 10, 100, 30);
    b.GraphicsMode(0);
    EXPECT_EQ(h.backend->messages.size(), 1u);
    EXPECT_EQ(b.GraphicsMode(), 0);
    set_platform(2, 3, 51);
    b.GraphicsMode(-1);
    EXPECT_EQ(h.backend->messages.size(), 1u);
    EXPECT_EQ(b.GraphicsMode(), 2);
    EXPECT_EQ(QuillButtonTestAccess(b).requested_mode(), -1);
}

TEST_F(ButtonModel, IconWithoutPixelsCountsAsNoIcon)
{
    ButtonHost h;
    auto& b = h.add("Cmd1", 10, 10, 100, 30);
    b.Icon(host::StdPicture::from_surface(gdi::Surface(16, 16, 0xFF0000FF), host::PictureType::Icon));
    EXPECT_TRUE(QuillButtonTestAccess(b).has_icon());
    b.Icon(host::StdPicture::from_surface(gdi::Surface(), host::PictureType::Bitmap));
    EXPECT_FALSE(QuillButtonTestAccess(b).has_icon());
    EXPECT_FALSE(b.Icon());
}

} // namespace
