// The button's model: new instances, saving and loading, damaged stores, and the setter rules by
// mode with their marks and messages.

#include "QuillButtonTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace sorrel;
using namespace sorrel::controls;
using namespace sorrel::controls::testing_support;

namespace {

using Keys = std::vector<std::string>;

constexpr gdi::Color ButtonFace = 0xC8D0D4;

class ButtonModel : public ::testing::Test {
protected:
    void SetUp() override
    {
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

TEST_F(ButtonModel, NewInstanceTakesItsNameAndTimesNewRomanInTheContainersSize)
{
    ButtonHost h(true);
    auto form_font = host::StdFont::create("Arial", 12);
    h.form->Font(form_font);
    auto& b = h.add("CmdSCan", 10, 10, 100, 30);
    EXPECT_EQ(b.Caption(), "CmdSCan");
    EXPECT_EQ(b.Font()->Name(), "Times New Roman");
    EXPECT_EQ(b.Font()->Size(), 12);
    EXPECT_EQ(form_font->Name(), "Arial"); // the button's font is its own copy
    EXPECT_EQ(b.BackColor(), ButtonFace);
    EXPECT_EQ(b.MouseOver(), 0u);
    EXPECT_EQ(b.EmbossEngraveMid(), 0xC0C0C0u);
    EXPECT_EQ(QuillButtonTestAccess(b).requested_mode(), -1);
    EXPECT_FALSE(QuillButtonTestAccess(b).paint_ready()); // nothing is painted before the show
}

TEST_F(ButtonModel, FormFileRoundTripKeepsEveryKeyInOrder)
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
        b.ButtonStyle(2);
        b.GradientStartColor(0x336699);
        b.GradientOrientation(3);
        b.CaptionStyle(3);
        b.Caption("Save && &Exit");
        b.Font()->Bold(true);
        b.Icon(host::StdPicture::from_surface(gdi::Surface(16, 16, 0xFF2040C0), host::PictureType::Bitmap));
        b.OptionButton(true);
        b.Value(true);
        b.MousePointer(11);
        b.Enabled(false);
        b.UserControl_WriteProperties(before);
        auto saved = h.form->save_text(dir.string());
        ASSERT_FALSE(saved.is_error()) << saved.error().message;
        text = saved.value();
    }
    Keys keys;
    for (auto& entry : before)
        keys.push_back(entry.key);
    EXPECT_EQ(keys,
        (Keys {"BTNICON", "BTYPE", "TX", "ENAB", "FONT", "COLTYPE", "BCOL", "FCOL", "FCOLO", "EMBOSSM",
            "EMBOSSS", "MPTR", "MICON", "ALIGN", "ICONAlign", "ORIENT", "STYLE", "IconSize", "SHOWF",
            "BSTYLE", "OPTVAL", "OPTMOD", "GStart", "GStop", "GStyle", "GMODE"}));
    EXPECT_EQ(before.ReadProperty("MPTR").type(), host::VariantType::Integer);
    EXPECT_TRUE(before.ReadProperty("GStart").is_color());

    ButtonHost h(true);
    auto loaded = h.form->load_text(text, dir.string(), true);
    ASSERT_FALSE(loaded.is_error()) << loaded.error().message;
    auto* b = dynamic_cast<QuillButton*>(h.form->find("Cmd1"));
    ASSERT_TRUE(b);
    host::PropertyBag after;
    b->UserControl_WriteProperties(after);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 1; i < before.size(); ++i) // 0 is the icon: pictures compare by identity
        EXPECT_TRUE(before.entries()[i].value == after.entries()[i].value) << before.entries()[i].key;
    EXPECT_EQ(b->Icon()->pixels(), before.ReadProperty("BTNICON").to_picture()->pixels());
    fs::remove_all(dir);
}

TEST_F(ButtonModel, DamagedStoresLoadAsTheyAreAndNeverBreakLaterSteps)
{
    std::vector<std::pair<const char*, host::Variant>> cases {{"BTYPE", int32_t(0)}, {"BTYPE", int32_t(99)},
        {"BSTYLE", int32_t(7)}, {"IconSize", int32_t(-3)}, {"COLTYPE", int32_t(42)}, {"ALIGN", int32_t(-8)},
        {"ORIENT", int32_t(5)}, {"GStyle", int32_t(9)}, {"STYLE", int32_t(12)}, {"BTYPE", "not a number"},
        {"MPTR", int32_t(70000)}, {"FONT", "Arial"}};
    auto icon = host::StdPicture::from_surface(gdi::Surface(32, 32, 0xFF00FF00), host::PictureType::Icon);
    for (auto& [key, value] : cases) {
        ButtonHost h;
        host::PropertyBag bag;
        bag.add(key, value);
        bag.add("BTNICON", icon);
        bag.add("ENAB", false);
        auto& b = h.add("Cmd1", 10, 10, 100, 30, nullptr, -1, &bag);
        h.show();
        h.click_at(20, 20);
        b.Enabled(true);
        h.click_at(20, 20);
        b.Move(150, 150, 90 * 15, 40 * 15);
        EXPECT_TRUE(b.Font()) << key;
    }
    // Not validated on load, except the outline: an unknown one loads as the rectangle.
    ButtonHost h;
    host::PropertyBag bag;
    bag.add("BTYPE", int32_t(99));
    bag.add("BSTYLE", int32_t(7));
    auto& b = h.add("Cmd1", 10, 10, 100, 30, nullptr, -1, &bag);
    h.show();
    EXPECT_EQ(b.ButtonType(), 99);
    EXPECT_EQ(b.ButtonStyle(), 0);
    EXPECT_TRUE(gdi::PtInRegion(b.window_region(), 0, 0));
    EXPECT_TRUE(gdi::PtInRegion(b.window_region(), 99, 29));
}

TEST_F(ButtonModel, LoadingFollowsThePlatform)
{
    set_platform(2, 4, 0); // NT 4.0: no gradient fill, the compatible caption mode
    ButtonHost h;
    host::PropertyBag bag;
    bag.add("COLTYPE", int32_t(5));
    auto& b = h.add("Cmd1", 10, 10, 100, 30, nullptr, -1, &bag);
    EXPECT_EQ(b.ColorScheme(), 2);
    EXPECT_EQ(b.GraphicsMode(), 1);
    EXPECT_EQ(QuillButtonTestAccess(b).requested_mode(), 1);
    host::PropertyBag automatic;
    automatic.add("GMODE", int32_t(-1));
    EXPECT_EQ(h.add("Cmd2", 10, 50, 100, 30, nullptr, -1, &automatic).GraphicsMode(), 1);
}

TEST_F(ButtonModel, RunTimeSetters)
{
    ButtonHost h;
    host::PropertyBag gradient;
    gradient.add("COLTYPE", int32_t(5));
    auto& b = h.add("Cmd1", 10, 10, 100, 30, nullptr, -1, &gradient);
    auto& plain = h.add("Cmd2", 10, 50, 100, 30);
    h.show();
    plain.ButtonStyle(1);
    plain.ColorScheme(3);
    plain.Alignment(2);
    plain.CaptionOrientation(1);
    plain.IconSize(4);
    plain.IconAlignmentValue(1);
    plain.ShowFocus(false);
    plain.BackColor(0x112233); // scheme 1: not custom
    EXPECT_EQ(plain.ButtonStyle(), 0);
    EXPECT_EQ(plain.ColorScheme(), 1);
    EXPECT_EQ(plain.Alignment(), 1);
    EXPECT_EQ(plain.CaptionOrientation(), 0);
    EXPECT_EQ(plain.IconSize(), 2);
    EXPECT_EQ(plain.IconAlignmentValue(), 0);
    EXPECT_TRUE(plain.ShowFocus());
    EXPECT_EQ(plain.BackColor(), ButtonFace);
    plain.GradientOrientation(77);
    EXPECT_EQ(plain.GradientOrientation(), 77);

    // The XP face still takes the gradient scheme away; custom colours then take at run time.
    b.ButtonType(3);
    EXPECT_EQ(b.ButtonType(), 2);
    EXPECT_EQ(b.ColorScheme(), 2);
    b.BackColor(0x404040);
    EXPECT_EQ(QuillButtonTestAccess(b).palette()[0], 0x404040u);
    EXPECT_TRUE(b.changed_properties().empty());
    EXPECT_TRUE(plain.changed_properties().empty());
    EXPECT_TRUE(h.messages().empty());
}

TEST_F(ButtonModel, ContainerChangesReachTheButton)
{
    ButtonHost h(true);
    auto& b = h.add("Cmd1", 10, 10, 100, 30);
    h.show();
    b.clear_changed_properties();
    auto font = host::StdFont::create("Arial", 14);
    h.form->Font(font);
    EXPECT_EQ(b.Font(), font); // the window's own font object, unmarked
    h.form->ForeColor(0x0000FF);
    EXPECT_TRUE(b.changed_properties().empty());
    // Under the system scheme the container's colours change nothing.
    EXPECT_EQ(QuillButtonTestAccess(b).palette()[5], gdi::GetSysColor(gdi::COLOR_BTNTEXT));
}

TEST_F(ButtonModel, DesignTimeSettersRefuseBadValuesAndMarkTheirKeys)
{
    ButtonHost h(true);
    auto& b = h.add("Cmd1", 10, 10, 100, 30);
    b.clear_changed_properties();
    for (int v : {0, 9, 2})
        b.ButtonType(v);
    for (int v : {-1, 4})
        b.ButtonStyle(v);
    for (int v : {0, 5})
        b.IconSize(v);
    b.Alignment(3);
    b.ColorScheme(6);
    b.CaptionStyle(4);
    EXPECT_TRUE(b.changed_properties().empty());

    b.ForeColor(0x0000FF);
    EXPECT_EQ(b.ColorScheme(), 2);
    EXPECT_EQ(b.changed_properties(), (Keys {"COLTYPE", "BCOL", "FCOLO", "FCOL"}));
    EXPECT_EQ(b.BackColor(), ButtonFace); // kept, and a new instance's MouseOver stays black
    EXPECT_EQ(QuillButtonTestAccess(b).palette()[6], 0u);

    b.CaptionOrientation(2);
    b.clear_changed_properties();
    b.ButtonStyle(3);
    EXPECT_EQ(b.CaptionOrientation(), 0);
    b.CaptionStyle(2);
    b.ColorScheme(3);
    EXPECT_EQ(b.CaptionStyle(), 0);
    b.GradientStopColor(0x00FF00);
    EXPECT_EQ(b.ColorScheme(), 5);
    EXPECT_EQ(b.changed_properties(),
        (Keys {"ORIENT", "BSTYLE", "STYLE", "COLTYPE", "BCOL", "FCOL", "FCOLO", "EMBOSSM", "EMBOSSS",
            "COLTYPE", "FCOL", "FCOLO", "BCOL", "GStart", "GStop"}));

    // A system-colour reference is stored as the colour it stands for.
    b.BackColor(0x80000012);
    EXPECT_EQ(b.BackColor(), gdi::GetSysColor(gdi::COLOR_BTNTEXT));
}

// A colour setter compares what it is given before resolving it, so naming the system colour a
// scheme-1 button already shows still switches it to custom colours.
TEST_F(ButtonModel, SystemColourReferenceSwitchesToCustomColours)
{
    ButtonHost h(true);
    auto& b = h.add("Cmd1", 10, 10, 100, 30);
    b.clear_changed_properties();
    b.BackColor(0x8000000F);
    EXPECT_EQ(b.ColorScheme(), 2);
    EXPECT_EQ(b.BackColor(), ButtonFace);
    EXPECT_EQ(b.changed_properties(), (Keys {"COLTYPE", "FCOL", "FCOLO", "BCOL"}));

    // The resolved colour itself is the current value and is refused.
    b.clear_changed_properties();
    b.BackColor(ButtonFace);
    EXPECT_TRUE(b.changed_properties().empty());
    b.GradientStartColor(0x80000000); // scroll-bar colour, resolved to a plain colour
    EXPECT_EQ(b.ColorScheme(), 5);
    EXPECT_EQ(b.GradientStartColor(), gdi::GetSysColor(0));
}

TEST_F(ButtonModel, MessagesWithTheirTextsAndIcons)
{
    ButtonHost h(true);
    auto& b = h.add("Cmd1", 10, 10, 100, 30);
    b.ButtonType(3);
    b.GradientStartColor(0x0000FF);
    EXPECT_EQ(b.GradientStartColor(), 0u);
    set_platform(1, 4, 0); // Windows 95: no scheme change at all
    b.ColorScheme(2);
    EXPECT_EQ(b.ColorScheme(), 1);
    h.form->set_design_mode(false);
    b.GraphicsMode(0);
    EXPECT_EQ(b.GraphicsMode(), 0);
    b.GraphicsMode(-1);
    EXPECT_EQ(b.GraphicsMode(), 0);

    auto& boxes = h.messages();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "This option is not available for Windowx XP or Machintosh style buttons");
    EXPECT_EQ(boxes[0].style, 64);
    EXPECT_EQ(boxes[1].text,
        "This option is not available on the following operating systems.\r\n\r\n"
        " - Win NT 4 and lower\r\n - Windows 95 and earlier");
    EXPECT_EQ(boxes[1].style, 64);
    EXPECT_EQ(boxes[2].text,
        "Caution: Using non-default may cause buttons to not display properly on other operating systems.");
    EXPECT_EQ(boxes[2].style, 48);
}

} // namespace
