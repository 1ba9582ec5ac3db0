#include "HostTestSupport.h"

#include "platform/host/ControlRegistry.h"
#include "platform/host/Frame.h"
#include "platform/host/Image.h"
#include "platform/host/TextBox.h"
#include "platform/host/Timer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace sorrel;
using namespace sorrel::host;
using namespace sorrel::host::testing;

namespace {

const std::string data_dir = SORREL_HOST_TEST_DATA "/forms";

// A recording control that saves back exactly the entries it was loaded with.
struct Recorder : RecordingControl {
    Recorder()
    {
        write = [this](PropertyBag& bag) {
            for (auto& e : read_bag) {
                if (!keys_match(e.key.substr(0, 7), "_extent"))
                    bag.WriteProperty(e.key, e.value);
            }
        };
    }
    std::string_view kind() const override { return "Recorder"; }
};

struct FormFiles : HostFixture, ::testing::Test {
    FormFiles()
    {
        register_control_kind("Recorder", [] { return std::make_unique<Recorder>(); });
        form = std::make_unique<Form>();
    }
    ErrorOr<void> load_text(const std::string& text)
    {
        return form->load_text(text, data_dir, false, "bad.yaml");
    }
};

} // namespace

TEST_F(FormFiles, LoadingCreatesControlsInOrderWithTheirStoredProperties)
{
    auto loaded = form->load_file(data_dir + "/sample.yaml");
    ASSERT_FALSE(loaded.is_error()) << loaded.error().message;
    EXPECT_EQ(form->Name(), "FrmTest");
    EXPECT_EQ(form->Caption(), "Test form");
    EXPECT_EQ(form->pixel_width(), 300);
    ASSERT_EQ(form->Controls().Count(), 7);
    EXPECT_EQ(form->Controls().Item(3)->DisplayName(), "Rec(0)");

    auto& rec0 = dynamic_cast<Recorder&>(*form->find("Rec(0)"));
    auto& rec1 = dynamic_cast<Recorder&>(*form->find("rec(1)"));
    // Stored entries mean ReadProperties; none mean InitProperties.
    EXPECT_EQ(rec0.log, (std::vector<std::string> {"Initialize", "ReadProperties"}));
    EXPECT_EQ(rec1.log, (std::vector<std::string> {"Initialize", "InitProperties"}));
    auto& bag = rec0.read_bag;
    EXPECT_EQ(bag.ReadProperty("CAPTION").to_string(), "Remove");
    EXPECT_EQ(bag.count("caption"), 2u);
    EXPECT_EQ(bag.ReadProperty("min").type(), VariantType::Integer);
    EXPECT_EQ(bag.ReadProperty("_extentx").type(), VariantType::Long);
    EXPECT_EQ(bag.ReadProperty("ratio").type(), VariantType::Single);
    EXPECT_EQ(bag.ReadProperty("scale").type(), VariantType::Double);
    EXPECT_EQ(bag.ReadProperty("enab").to_boolean16(), 0);
    EXPECT_TRUE(bag.ReadProperty("forecolor").is_color());
    EXPECT_EQ(bag.ReadProperty("forecolor").to_color(), 0x00C0C0C0u);
    EXPECT_TRUE(bag.ReadProperty("font").to_font()->Italic());
    EXPECT_EQ(bag.ReadProperty("micon").type(), VariantType::Picture);
    EXPECT_EQ(bag.ReadProperty("micon").to_picture(), nullptr);
    EXPECT_TRUE(bag.ReadProperty("empty").is_empty());

    // Standard controls take their design, containers hold their children.
    auto& text = dynamic_cast<TextBox&>(*form->find("Text1"));
    EXPECT_EQ(text.Text(), "Welcome User,\r\n\r\nThere is a bug.\r\n");
    EXPECT_TRUE(text.MultiLine());
    EXPECT_EQ(text.Container(), form->find("Frame2"));
    auto& timer = dynamic_cast<Timer&>(*form->find("Timer1"));
    EXPECT_EQ(timer.Interval(), 10);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(dynamic_cast<Image&>(*form->find("Image1")).Picture()->pixel_width(), 4);
    EXPECT_FALSE(form->find("Frame4")->Visible());

    host->show(*form);
    EXPECT_EQ(rec0.log, (std::vector<std::string> {"Initialize", "ReadProperties", "Show", "Resize"}));
    EXPECT_EQ(host->focused(), &text); // the first control that takes the focus
    EXPECT_EQ(rec1.log, (std::vector<std::string> {"Initialize", "InitProperties", "Show", "Resize"}));
}

TEST_F(FormFiles, ADesignRoundTrips)
{
    ASSERT_FALSE(form->load_file(data_dir + "/sample.yaml").is_error());
    auto first = form->save_text(data_dir);
    ASSERT_FALSE(first.is_error()) << first.error().message;
    EXPECT_NE(first.value().find("- caption: \"Remove\"\n"), std::string::npos) << first.value();
    EXPECT_NE(first.value().find("- _extentx: 2646"), std::string::npos);
    EXPECT_NE(first.value().find("Picture: !picture banner.png"), std::string::npos) << first.value();
    Form again;
    auto loaded = again.load_text(first.value(), data_dir, false, "saved.yaml");
    ASSERT_FALSE(loaded.is_error()) << loaded.error().message;
    auto second = again.save_text(data_dir);
    ASSERT_FALSE(second.is_error());
    EXPECT_EQ(first.value(), second.value());
}

TEST_F(FormFiles, TextsAreUtf8OnDiskAndWindows1252InTheControls)
{
    ASSERT_FALSE(
        load_text("form: {name: F, caption: \"Caf\xC3\xA9 \xE2\x82\xAC \xE2\x98\x83\", client: [300, 300]}\n"
                  "controls:\n"
                  "  - kind: Recorder\n"
                  "    name: R\n"
                  "    position: [0, 0, 300, 300]\n"
                  "    properties:\n"
                  "      - tx: \"Caf\xC3\xA9\"\n"
                  "      - plain: na\xC3\xAFve\n"
                  "      - font: !font {name: \"Caf\xC3\xA9 Sans\", size: 8.25}\n")
            .is_error());
    // A character the code page lacks (the snowman) reads as "?".
    EXPECT_EQ(form->Caption(), "Caf\xE9 \x80 ?");
    auto& bag = dynamic_cast<Recorder&>(*form->find("R")).read_bag;
    EXPECT_EQ(bag.ReadProperty("tx").to_string(), "Caf\xE9");
    EXPECT_EQ(bag.ReadProperty("plain").to_string(), "na\xEFve");
    EXPECT_EQ(bag.ReadProperty("font").to_font()->Name(), "Caf\xE9 Sans");

    // Every byte of the code page comes back as it was, in the caption and in a stored text.
    std::string every;
    for (int byte = 1; byte < 256; ++byte)
        every += char(byte);
    Form source;
    ASSERT_FALSE(
        source.load_text("form: {name: F, client: [300, 300]}\n", data_dir, false, "f.yaml").is_error());
    source.Caption(every);
    auto& rec = source.add<Recorder>("R");
    rec.write = [&](PropertyBag& out) {
        out.WriteProperty("tx", every);
        auto font = StdFont::create("Caf\xE9\x80", 9);
        out.WriteProperty("font", font);
    };
    auto saved = source.save_text(data_dir);
    ASSERT_FALSE(saved.is_error()) << saved.error().message;
    EXPECT_NE(saved.value().find("Caf\xC3\xA9\xE2\x82\xAC"), std::string::npos) << saved.value();
    Form again;
    auto loaded = again.load_text(saved.value(), data_dir, false, "saved.yaml");
    ASSERT_FALSE(loaded.is_error()) << loaded.error().message;
    EXPECT_EQ(again.Caption(), every);
    auto& read = dynamic_cast<Recorder&>(*again.find("R")).read_bag;
    EXPECT_EQ(read.ReadProperty("tx").to_string(), every);
    EXPECT_EQ(read.ReadProperty("font").to_font()->Name(), "Caf\xE9\x80");
}

TEST_F(FormFiles, FontWeightsSurviveWhateverTheFieldOrder)
{
    ASSERT_FALSE(load_text("form: {name: F, client: [300, 300]}\n"
                           "controls:\n"
                           "  - kind: Recorder\n"
                           "    name: R\n"
                           "    position: [0, 0, 300, 300]\n"
                           "    properties:\n"
                           "      - light: !font {name: A, size: 8, weight: 300, bold: false}\n"
                           "      - heavy: !font {name: A, size: 8, bold: false, weight: 900}\n"
                           "      - bold: !font {name: A, size: 8, bold: true}\n"
                           "      - normal: !font {name: A, size: 8}\n")
                     .is_error());
    auto& bag = dynamic_cast<Recorder&>(*form->find("R")).read_bag;
    EXPECT_EQ(bag.ReadProperty("light").to_font()->Weight(), 300);
    EXPECT_EQ(bag.ReadProperty("heavy").to_font()->Weight(), 900);
    EXPECT_EQ(bag.ReadProperty("bold").to_font()->Weight(), 700);
    EXPECT_EQ(bag.ReadProperty("normal").to_font()->Weight(), 400);

    // And through a save: the writer puts the weight before "bold".
    auto saved = form->save_text(data_dir);
    ASSERT_FALSE(saved.is_error()) << saved.error().message;
    Form again;
    ASSERT_FALSE(again.load_text(saved.value(), data_dir, false, "saved.yaml").is_error());
    auto& read = dynamic_cast<Recorder&>(*again.find("R")).read_bag;
    EXPECT_EQ(read.ReadProperty("light").to_font()->Weight(), 300);
    EXPECT_EQ(read.ReadProperty("heavy").to_font()->Weight(), 900);
}

TEST_F(FormFiles, SavingWritesTheFileWholeOrNotAtAll)
{
    ASSERT_FALSE(form->load_file(data_dir + "/sample.yaml").is_error());
    auto dir = std::filesystem::temp_directory_path() / "sorrel-host-forms";
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file(
        data_dir + "/banner.png", dir / "banner.png", std::filesystem::copy_options::overwrite_existing);
    auto saved = form->save_file((dir / "saved.yaml").string());
    ASSERT_FALSE(saved.is_error()) << saved.error().message;
    EXPECT_FALSE(std::filesystem::exists(dir / "saved.yaml.saving"));
    EXPECT_TRUE(form->save_file("/nonexistent-dir/x.yaml").is_error());
    std::filesystem::remove_all(dir);
}

TEST_F(FormFiles, DesignTimeLoadingMakesUserModeFalseAndRunsNoHandlers)
{
    ASSERT_FALSE(form->load_text("form: {name: F, client: [1500, 1500]}\n"
                                 "controls:\n"
                                 "  - {kind: Recorder, name: R, position: [0, 0, 300, 300]}\n",
                         data_dir, true, "design.yaml")
                     .is_error());
    auto& r = dynamic_cast<Recorder&>(*form->find("R"));
    EXPECT_FALSE(r.Ambient().UserMode);
    EXPECT_EQ(r.Ambient().DisplayName, "R");
    EXPECT_EQ(r.ParentControls(), 2);
    bool handled = false;
    form->on_event("R", "Click", [&](EventArgs) { handled = true; });
    r.RaiseEvent("Click");
    EXPECT_FALSE(handled);
    r.PropertyChanged("Caption");
    EXPECT_TRUE(form->is_dirty());
}

TEST_F(FormFiles, DamagedFilesNameTheLineAndLoadNothing)
{
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"form: {name: F, client: [10, 10]}\ncontrols:\n  - kind: Nonsense\n    name: X\n    position: [0, "
         "0, 1, 1]\n",
            "bad.yaml:3: unknown control kind \"Nonsense\""},
        {"form: {name: F}\ncontrols:\n  - kind: Frame\n    name: X\n    position: [0, 0, 1]\n",
            "bad.yaml:5: position must be"},
        {"form: {name: F}\ncontrols:\n  - kind: Frame\n    name: X\n    container: Nowhere\n    position: "
         "[0, 0, 1, 1]\n",
            "bad.yaml:3: container Nowhere is not an earlier control"},
        {"form: {name: F}\ncontrols:\n  - {kind: Frame, name: X, position: [0, 0, 1, 1]}\n  - {kind: Frame, "
         "name: x, position: [0, 0, 1, 1]}\n",
            "bad.yaml:4: a control named x already exists"},
        {"form: {name: F}\ncontrols:\n  - {kind: Frame, name: X, position: [0, 0, 1, 1], properties: [{min: "
         "!int 40000}]}\n",
            "bad.yaml:3: !int needs a whole number from -32768 to 32767"},
        {"form: {name: F}\ncontrols:\n  - kind: Image\n    name: I\n    position: [0, 0, 1, 1]\n    "
         "properties:\n      - picture: !picture missing.png\n",
            "bad.yaml:7: "},
        {"form: {name: F\ncontrols: []\n", "bad.yaml:"},
        {"- just\n- a list\n", "bad.yaml:1: a form file is a map"},
        {"form: {name: F}\ncontrols:\n  - kind: Frame\n    name: X\n    position: [0, 0, 1, 1]\n    "
         "properties:\n      - a: 1\n        b: 2\n",
            "bad.yaml:7: each property is a one-entry map"},
        {"form: {name: F}\ncontrols:\n  - {kind: Frame, name: \"X Y\", position: [0, 0, 1, 1]}\n",
            "is not a control name"},
        {"form: {name: F}\ncontrols:\n  - {kind: Frame, name: X, position: [0, 0, -5, 1]}\n",
            "cannot be negative"},
        {"", "bad.yaml:1: a form file is a map"},
        // Names and keys that would not read back as they were written.
        {"form: {name: \"F\\r\", client: [10, 10]}\n", "bad.yaml:1: \"F\r\" is not a form name"},
        {"form: {name: F}\ncontrols:\n  - {kind: Frame, name: X, position: [0, 0, 1, 1], properties: [{\"a "
         "b\": "
         "1}]}\n",
            "bad.yaml:3: \"a b\" is not a property key"},
    };
    for (auto& c : cases) {
        Form fresh;
        auto result = fresh.load_text(c.text, data_dir, false, "bad.yaml");
        ASSERT_TRUE(result.is_error()) << c.text;
        EXPECT_NE(result.error().message.find(c.message), std::string::npos) << result.error().message;
        EXPECT_EQ(fresh.Controls().Count(), 0);
    }

    // Nesting deep enough to stop the YAML parser is named as such, not as a "bad file".
    Form deep;
    auto result = deep.load_text(
        "form: {name: F}\ncontrols: " + std::string(3000, '[') + std::string(3000, ']') + "\n", data_dir,
        false, "bad.yaml");
    ASSERT_TRUE(result.is_error());
    EXPECT_NE(result.error().message.find("bad.yaml:2: nested more than"), std::string::npos)
        << result.error().message;
}
