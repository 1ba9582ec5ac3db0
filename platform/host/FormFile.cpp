#include "platform/host/FormFile.h"

#include "platform/base/Cp1252.h"
#include "platform/host/ControlRegistry.h"
#include "platform/host/Form.h"
#include "platform/host/Host.h"
#include "platform/host/StdFont.h"
#include "platform/host/StdPicture.h"
#include "platform/host/UserControl.h"

#include <yaml-cpp/depthguard.h>
#include <yaml-cpp/yaml.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

// [SECTION] Reading values
// [SECTION] Reading documents
// [SECTION] Writing
// [SECTION] Form loading and saving

namespace sorrel::host::form_file {

namespace {

struct ParseError {
    int line;
    std::string message;
};

[[noreturn]] void fail(const YAML::Node& node, std::string message)
{
    throw ParseError {std::max(node.Mark().line, 0) + 1, std::move(message)};
}

std::string lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// [SECTION] Reading values

std::string scalar(const YAML::Node& node, const char* what)
{
    if (!node.IsScalar())
        fail(node, std::string(what) + " must be a single value");
    return node.Scalar();
}

// Form files are UTF-8; the controls hold their texts in Windows-1252.
std::string text_scalar(const YAML::Node& node, const char* what)
{
    return base::utf8_to_cp1252(scalar(node, what));
}

bool parse_integer(const std::string& text, long long& out)
{
    if (text.empty())
        return false;
    size_t i = 0;
    bool negative = false;
    if (text[0] == '-' || text[0] == '+') {
        negative = text[0] == '-';
        i = 1;
    }
    if (i >= text.size())
        return false;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
        if (value > 1LL << 40)
            return false;
    }
    out = negative ? -value : value;
    return true;
}

bool parse_hex(const std::string& text, uint32_t& out)
{
    if (text.size() < 3 || text.size() > 10 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
        return false;
    uint32_t value = 0;
    for (size_t i = 2; i < text.size(); ++i) {
        char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * 16 + uint32_t(digit);
    }
    out = value;
    return true;
}

bool parse_real(const std::string& text, double& out)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(out))
        return false;
    for (char c : text) {
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' || c == 'e'
                || c == 'E'))
            return false;
    }
    return true;
}

float number(const YAML::Node& node, const char* what)
{
    std::string text = scalar(node, what);
    double d;
    if (!parse_real(text, d))
        fail(node, std::string(what) + " must be a number, not \"" + text + "\"");
    return float(d);
}

Variant read_font(const YAML::Node& node)
{
    if (!node.IsMap())
        fail(node, "a font is a map: {name: ..., size: ...}");
    std::string name = "MS Sans Serif";
    double size = 8.25;
    auto font = StdFont::create(name, size);
    // Bold only stands for 400 or 700, so it goes first and a stored weight such as 300 has
    // the last word whatever order the fields come in.
    std::optional<bool> bold;
    std::optional<int16_t> weight;
    for (auto it = node.begin(); it != node.end(); ++it) {
        std::string key = lower(scalar(it->first, "a font field"));
        YAML::Node value = it->second;
        auto flag = [&]() {
            std::string v = lower(scalar(value, key.c_str()));
            if (v != "true" && v != "false")
                fail(value, "font " + key + " must be true or false");
            return v == "true";
        };
        if (key == "name")
            font->Name(text_scalar(value, "font name"));
        else if (key == "size") {
            double points = number(value, "font size");
            if (!(points > 0 && points <= 2160))
                fail(value, "font size out of range");
            font->Size(points);
        } else if (key == "bold")
            bold = flag();
        else if (key == "italic")
            font->Italic(flag());
        else if (key == "underline")
            font->Underline(flag());
        else if (key == "strikethrough")
            font->Strikethrough(flag());
        else if (key == "weight")
            weight = int16_t(std::clamp<long>(std::lround(number(value, "font weight")), 0, 1000));
        else if (key == "charset")
            font->Charset(int16_t(std::clamp<long>(std::lround(number(value, "font charset")), 0, 255)));
        else
            fail(it->first, "unknown font field \"" + key + "\"");
    }
    if (bold)
        font->Bold(*bold);
    if (weight)
        font->Weight(*weight);
    return Variant(font);
}

Variant read_picture(const YAML::Node& node, const PictureLoader& load)
{
    std::string path = node.IsNull() ? std::string() : scalar(node, "a picture");
    if (path.empty() || path == "~" || lower(path) == "null")
        return Variant(PictureRef());
    auto picture = load(path);
    if (picture.is_error())
        fail(node, picture.error().message);
    return Variant(picture.release_value());
}

Variant read_value(const YAML::Node& node, const PictureLoader& load)
{
    const std::string& tag = node.Tag();
    if (tag == "!font")
        return read_font(node);
    if (tag == "!picture")
        return read_picture(node, load);
    if (node.IsNull())
        return Variant();
    if (node.IsMap()) {
        if (node["name"])
            return read_font(node);
        fail(node, "a map here must be a !font");
    }
    if (!node.IsScalar())
        fail(node, "a property value must be a single value, a !font or a !picture");
    const std::string& text = node.Scalar();
    if (tag == "!") // quoted: always text
        return Variant(base::utf8_to_cp1252(text));
    if (tag == "!int" || tag == "!integer") {
        long long v;
        if (!parse_integer(text, v) || v < -32768 || v > 32767)
            fail(node, "!int needs a whole number from -32768 to 32767, not \"" + text + "\"");
        return Variant(int16_t(v));
    }
    if (tag == "!long") {
        long long v;
        if (!parse_integer(text, v) || v < INT32_MIN || v > INT32_MAX)
            fail(node, "!long needs a 32-bit whole number, not \"" + text + "\"");
        return Variant(int32_t(v));
    }
    if (tag == "!single") {
        double d;
        if (!parse_real(text, d))
            fail(node, "!single needs a number, not \"" + text + "\"");
        return Variant(float(d));
    }
    if (tag == "!double") {
        double d;
        if (!parse_real(text, d))
            fail(node, "!double needs a number, not \"" + text + "\"");
        return Variant(d);
    }
    if (tag == "!string")
        return Variant(base::utf8_to_cp1252(text));
    if (tag != "?" && !tag.empty())
        fail(node, "unknown tag " + tag);
    // Plain values: Boolean, hex colour, Long, Double, or text.
    std::string l = lower(text);
    if (l == "true")
        return Variant(true);
    if (l == "false")
        return Variant(false);
    uint32_t hex;
    if (parse_hex(text, hex))
        return Variant::color(hex);
    long long whole;
    if (parse_integer(text, whole)) {
        if (whole < INT32_MIN || whole > INT32_MAX)
            fail(node, "the number " + text + " does not fit in 32 bits");
        return Variant(int32_t(whole));
    }
    double real;
    if (parse_real(text, real))
        return Variant(real);
    return Variant(base::utf8_to_cp1252(text));
}

// [SECTION] Reading documents

void parse_position(const YAML::Node& node, ControlEntry& entry)
{
    if (!node.IsSequence() || node.size() != 4)
        fail(node, "position must be [left, top, width, height] in twips");
    entry.left = number(node[0], "left");
    entry.top = number(node[1], "top");
    entry.width = number(node[2], "width");
    entry.height = number(node[3], "height");
    if (entry.width < 0 || entry.height < 0)
        fail(node, "width and height cannot be negative");
    for (float v : {entry.left, entry.top, entry.width, entry.height}) {
        if (std::fabs(v) > 1e7f)
            fail(node, "position out of range");
    }
}

// Names and keys are written as they stand, so only what reads back the same is taken.
void check_name(const YAML::Node& node, const std::string& name, const char* what)
{
    for (char c : name) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_'))
            fail(node, "\"" + name + "\" is not " + what + " (letters, digits and _ only)");
    }
}

bool boolean(const YAML::Node& node, const char* what)
{
    std::string v = lower(scalar(node, what));
    if (v != "true" && v != "false")
        fail(node, std::string(what) + " must be true or false");
    return v == "true";
}

ControlEntry parse_control(const YAML::Node& node, const PictureLoader& load)
{
    if (!node.IsMap())
        fail(node, "each control is a map with kind, name and position");
    ControlEntry entry;
    entry.line = node.Mark().line + 1;
    bool has_position = false;
    for (auto it = node.begin(); it != node.end(); ++it) {
        std::string key = lower(scalar(it->first, "a control field"));
        YAML::Node value = it->second;
        if (key == "kind")
            entry.kind = scalar(value, "kind");
        else if (key == "name")
            entry.name = scalar(value, "name");
        else if (key == "index") {
            long long index;
            if (!parse_integer(scalar(value, "index"), index) || index < 0 || index > 32767)
                fail(value, "index must be a whole number from 0 to 32767");
            entry.index = int16_t(index);
        } else if (key == "container")
            entry.container = scalar(value, "container");
        else if (key == "position") {
            parse_position(value, entry);
            has_position = true;
        } else if (key == "visible")
            entry.visible = boolean(value, "visible");
        else if (key == "tabindex") {
            long long index;
            if (!parse_integer(scalar(value, "tabindex"), index) || index < 0 || index > 32767)
                fail(value, "tabindex must be a whole number from 0 to 32767");
            entry.tab_index = int(index);
        } else if (key == "properties") {
            entry.has_properties = true;
            if (value.IsNull())
                continue;
            if (!value.IsSequence())
                fail(value, "properties are a list of one-entry maps: - key: value");
            for (const YAML::Node& item : value) {
                if (!item.IsMap() || item.size() != 1)
                    fail(item, "each property is a one-entry map: - key: value");
                auto pair = item.begin();
                std::string property = scalar(pair->first, "a property key");
                if (property.empty())
                    fail(pair->first, "a property key cannot be empty");
                check_name(pair->first, property, "a property key");
                entry.properties.add(property, read_value(pair->second, load));
            }
        } else {
            fail(it->first, "unknown control field \"" + key + "\"");
        }
    }
    if (entry.kind.empty())
        fail(node, "the control has no kind");
    if (entry.name.empty())
        fail(node, "the control has no name");
    check_name(node, entry.name, "a control name");
    if (!has_position && entry.kind != "Timer")
        fail(node, "control " + entry.name + " has no position");
    return entry;
}

} // namespace

PictureLoader pictures_in(const std::string& base_dir)
{
    return [base_dir](const std::string& path) -> ErrorOr<PictureRef> {
        std::filesystem::path full = std::filesystem::path(path).is_absolute()
            ? std::filesystem::path(path)
            : std::filesystem::path(base_dir) / path;
        auto picture = LoadPicture(full.string());
        if (!picture.is_error())
            picture.value()->set_source_path(full.string());
        return picture;
    };
}

ErrorOr<Document> parse(std::string_view text, const std::string& base_dir, const std::string& file_name)
{
    return parse(text, pictures_in(base_dir), file_name);
}

ErrorOr<Document> parse(std::string_view text, const PictureLoader& load, const std::string& file_name)
{
    Document document;
    try {
        YAML::Node root = YAML::Load(std::string(text));
        if (!root.IsMap())
            fail(root, "a form file is a map with `form` and `controls`");
        for (auto it = root.begin(); it != root.end(); ++it) {
            std::string key = lower(scalar(it->first, "a top-level key"));
            if (key != "form" && key != "controls")
                fail(it->first, "unknown section \"" + key + "\" (expected form and controls)");
        }
        YAML::Node form = root["form"];
        if (!form || !form.IsMap())
            fail(root, "the file has no `form` section");
        for (auto it = form.begin(); it != form.end(); ++it) {
            std::string key = lower(scalar(it->first, "a form field"));
            YAML::Node value = it->second;
            if (key == "name") {
                document.form.name = scalar(value, "name");
                check_name(value, document.form.name, "a form name");
            } else if (key == "caption")
                document.form.caption = text_scalar(value, "caption");
            else if (key == "client") {
                if (!value.IsSequence() || value.size() != 2)
                    fail(value, "client must be [width, height] in twips");
                document.form.client_width = number(value[0], "client width");
                document.form.client_height = number(value[1], "client height");
                if (document.form.client_width < 0 || document.form.client_height < 0
                    || document.form.client_width > 15 * 16384 || document.form.client_height > 15 * 16384)
                    fail(value, "client size out of range");
            } else if (key == "backcolor" || key == "forecolor") {
                Variant color = read_value(value, load);
                if (!color.is_numeric())
                    fail(value, key + " must be a colour such as 0x00FFFFFF");
                (key == "backcolor" ? document.form.back_color : document.form.fore_color) = color;
            } else if (key == "font") {
                document.form.font = read_font(value);
            } else if (key == "icon") {
                document.form.icon = read_picture(value, load);
            } else {
                fail(it->first, "unknown form field \"" + key + "\"");
            }
        }
        YAML::Node controls = root["controls"];
        if (controls && !controls.IsNull()) {
            if (!controls.IsSequence())
                fail(controls, "controls is a list");
            for (const YAML::Node& node : controls)
                document.controls.push_back(parse_control(node, load));
        }
    } catch (const ParseError& e) {
        return Error {file_name + ":" + std::to_string(e.line) + ": " + e.message};
    } catch (const YAML::DeepRecursion& e) {
        return Error {file_name + ":" + std::to_string(e.mark.line + 1) + ": nested more than "
            + std::to_string(e.depth()) + " levels deep"};
    } catch (const YAML::Exception& e) {
        return Error {file_name + ":" + std::to_string(e.mark.line + 1) + ": " + e.msg};
    } catch (const VariantError& e) {
        return Error {file_name + ": " + e.what()};
    }
    return document;
}

// [SECTION] Writing

namespace {

std::string format_twips(float v)
{
    char buffer[32];
    if (v == std::floor(v))
        std::snprintf(buffer, sizeof buffer, "%.0f", double(v));
    else
        std::snprintf(buffer, sizeof buffer, "%g", double(v));
    return buffer;
}

std::string format_real(double v, bool single)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, single ? "%.9g" : "%.17g", v);
    std::string s = buffer;
    if (s.find_first_of(".eE") == std::string::npos)
        s += ".0"; // keeps it a real number when read back
    return s;
}

std::string hex(uint32_t v)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", v);
    return buffer;
}

struct Writer {
    const std::string& base_dir;
    std::string stem;
    int saved_pictures {0};

    void font(YAML::Emitter& out, const StdFont& f)
    {
        out << YAML::LocalTag("font") << YAML::Flow << YAML::BeginMap;
        out << YAML::Key << "name" << YAML::Value << YAML::DoubleQuoted << base::cp1252_to_utf8(f.Name());
        out << YAML::Key << "size" << YAML::Value << format_real(f.Size(), false);
        out << YAML::Key << "weight" << YAML::Value << f.Weight();
        out << YAML::Key << "bold" << YAML::Value << (f.Bold() ? "true" : "false");
        out << YAML::Key << "italic" << YAML::Value << (f.Italic() ? "true" : "false");
        out << YAML::Key << "underline" << YAML::Value << (f.Underline() ? "true" : "false");
        out << YAML::Key << "strikethrough" << YAML::Value << (f.Strikethrough() ? "true" : "false");
        out << YAML::Key << "charset" << YAML::Value << f.Charset();
        out << YAML::EndMap;
    }

    ErrorOr<std::string> picture_path(const StdPicture& picture)
    {
        namespace fs = std::filesystem;
        if (!picture.source_path().empty() && fs::exists(picture.source_path())) {
            std::error_code ec;
            fs::path relative = fs::relative(picture.source_path(), base_dir, ec);
            if (!ec && !relative.empty())
                return relative.generic_string();
            return picture.source_path();
        }
        // A picture made in memory is saved beside the form.
        std::string name = stem + ".picture" + std::to_string(++saved_pictures) + ".png";
        auto saved = save_png(picture.pixels(), (fs::path(base_dir) / name).string(), true);
        if (saved.is_error())
            return saved.error();
        return name;
    }

    ErrorOr<void> value(YAML::Emitter& out, const Variant& v)
    {
        switch (v.type()) {
        case VariantType::Empty:
            out << YAML::Null;
            break;
        case VariantType::Integer:
            out << YAML::LocalTag("int") << std::to_string(v.to_integer());
            break;
        case VariantType::Long:
            if (v.is_color())
                out << hex(v.to_color());
            else
                out << std::to_string(v.to_long());
            break;
        case VariantType::Single:
            out << YAML::LocalTag("single") << format_real(v.to_single(), true);
            break;
        case VariantType::Double:
            out << format_real(v.to_double(), false);
            break;
        case VariantType::Boolean:
            out << (v.to_bool() ? "true" : "false");
            break;
        case VariantType::String:
            out << YAML::DoubleQuoted << base::cp1252_to_utf8(v.to_string());
            break;
        case VariantType::Font:
            if (auto f = v.to_font())
                font(out, *f);
            else
                out << YAML::Null;
            break;
        case VariantType::Picture: {
            auto p = v.to_picture();
            if (!p) {
                out << YAML::LocalTag("picture") << YAML::Null;
                break;
            }
            auto path = picture_path(*p);
            if (path.is_error())
                return path.error();
            out << YAML::LocalTag("picture") << path.value();
            break;
        }
        }
        return {};
    }
};

} // namespace

ErrorOr<std::string> write(const Document& document, const std::string& base_dir)
{
    Writer writer {base_dir, document.form.name.empty() ? std::string("form") : document.form.name};
    YAML::Emitter out;
    out << YAML::BeginMap;
    out << YAML::Key << "form" << YAML::Value << YAML::BeginMap;
    out << YAML::Key << "name" << YAML::Value << document.form.name;
    out << YAML::Key << "caption" << YAML::Value << YAML::DoubleQuoted
        << base::cp1252_to_utf8(document.form.caption);
    out << YAML::Key << "client" << YAML::Value << YAML::Flow << YAML::BeginSeq
        << format_twips(document.form.client_width) << format_twips(document.form.client_height)
        << YAML::EndSeq;
    if (!document.form.back_color.is_empty())
        out << YAML::Key << "backcolor" << YAML::Value << hex(document.form.back_color.to_color());
    if (!document.form.fore_color.is_empty())
        out << YAML::Key << "forecolor" << YAML::Value << hex(document.form.fore_color.to_color());
    if (auto f = document.form.font.is_empty() ? nullptr : document.form.font.to_font()) {
        out << YAML::Key << "font" << YAML::Value;
        writer.font(out, *f);
    }
    if (auto icon = document.form.icon.is_empty() ? nullptr : document.form.icon.to_picture()) {
        auto path = writer.picture_path(*icon);
        if (path.is_error())
            return path.error();
        out << YAML::Key << "icon" << YAML::Value << path.value();
    }
    out << YAML::EndMap;
    out << YAML::Key << "controls" << YAML::Value << YAML::BeginSeq;
    for (auto& c : document.controls) {
        out << YAML::BeginMap;
        out << YAML::Key << "kind" << YAML::Value << c.kind;
        out << YAML::Key << "name" << YAML::Value << c.name;
        if (c.index >= 0)
            out << YAML::Key << "index" << YAML::Value << c.index;
        if (!c.container.empty())
            out << YAML::Key << "container" << YAML::Value << c.container;
        out << YAML::Key << "position" << YAML::Value << YAML::Flow << YAML::BeginSeq << format_twips(c.left)
            << format_twips(c.top) << format_twips(c.width) << format_twips(c.height) << YAML::EndSeq;
        if (!c.visible)
            out << YAML::Key << "visible" << YAML::Value << "false";
        if (c.tab_index >= 0)
            out << YAML::Key << "tabindex" << YAML::Value << c.tab_index;
        if (c.has_properties) {
            out << YAML::Key << "properties" << YAML::Value;
            if (c.properties.is_empty())
                out << YAML::Flow;
            out << YAML::BeginSeq;
            for (auto& entry : c.properties) {
                out << YAML::BeginMap << YAML::Key << entry.key << YAML::Value;
                auto written = writer.value(out, entry.value);
                if (written.is_error())
                    return written.error();
                out << YAML::EndMap;
            }
            out << YAML::EndSeq;
        }
        out << YAML::EndMap;
    }
    out << YAML::EndSeq;
    out << YAML::EndMap;
    if (!out.good())
        return Error {"cannot write the form: " + out.GetLastError()};
    return std::string(out.c_str()) + "\n";
}

} // namespace sorrel::host::form_file

// [SECTION] Form loading and saving

namespace sorrel::host {

ErrorOr<void> Form::load_file(const std::string& path, bool design_mode)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return Error {path + ": cannot open the form file"};
    std::stringstream text;
    text << file.rdbuf();
    std::string base_dir = std::filesystem::path(path).parent_path().string();
    return load_text(text.str(), base_dir.empty() ? "." : base_dir, design_mode, path);
}

ErrorOr<void> Form::load_text(
    std::string_view text, const std::string& base_dir, bool design_mode, const std::string& file_name)
{
    return load_text(text, form_file::pictures_in(base_dir), design_mode, file_name);
}

ErrorOr<void> Form::load_text(std::string_view text, const form_file::PictureLoader& pictures,
    bool design_mode, const std::string& file_name)
{
    if (!m_order.empty())
        return Error {file_name + ": the form is already loaded"};
    auto parsed = form_file::parse(text, pictures, file_name);
    if (parsed.is_error())
        return parsed.error();
    form_file::Document& document = parsed.value();

    // Check the whole design before creating anything, so a damaged file leaves no half form.
    auto where
        = [&](const form_file::ControlEntry& c) { return file_name + ":" + std::to_string(c.line) + ": "; };
    std::vector<std::string> known;
    for (auto& c : document.controls) {
        if (!is_control_kind_registered(c.kind))
            return Error {where(c) + "unknown control kind \"" + c.kind + "\""};
        std::string display = c.index >= 0 ? c.name + "(" + std::to_string(c.index) + ")" : c.name;
        for (auto& k : known) {
            if (keys_match(k, display) || (c.index < 0 && keys_match(k.substr(0, k.find('(')), c.name))
                || (c.index >= 0 && keys_match(k, c.name)))
                return Error {where(c) + "a control named " + display + " already exists"};
        }
        if (!c.container.empty() && !keys_match(c.container, document.form.name)) {
            bool found = std::any_of(
                known.begin(), known.end(), [&](auto& k) { return keys_match(k, c.container); });
            if (!found)
                return Error {where(c) + "container " + c.container + " is not an earlier control"};
        }
        known.push_back(display);
    }

    m_design_mode = design_mode;
    set_name(document.form.name.empty() ? "Form1" : document.form.name);
    Caption(document.form.caption);
    if (!document.form.back_color.is_empty())
        BackColor(document.form.back_color.to_color());
    if (!document.form.fore_color.is_empty())
        ForeColor(document.form.fore_color.to_color());
    if (auto f = document.form.font.is_empty() ? nullptr : document.form.font.to_font())
        Font(f);
    if (auto icon = document.form.icon.is_empty() ? nullptr : document.form.icon.to_picture())
        Icon(icon);
    set_client_size_twips(document.form.client_width, document.form.client_height);

    for (auto& c : document.controls) {
        Control* container = nullptr;
        if (!c.container.empty() && !keys_match(c.container, Name()))
            container = find(c.container);
        auto control = create_control(c.kind);
        Control& added = add(std::move(control), c.name, c.index, container);
        added.Move(c.left, c.top, c.width, c.height);
        added.Visible(c.visible);
        if (c.tab_index >= 0)
            added.TabIndex(int16_t(c.tab_index));
        load_control(added, c.has_properties ? &c.properties : nullptr);
    }
    m_dirty = false;
    return {};
}

ErrorOr<std::string> Form::save_text(const std::string& base_dir)
{
    form_file::Document document;
    document.form.name = Name();
    document.form.caption = m_caption;
    document.form.client_width = Width();
    document.form.client_height = Height();
    document.form.back_color = Variant::color(BackColor());
    document.form.fore_color = Variant::color(ForeColor());
    if (Font())
        document.form.font = Variant(Font());
    if (m_icon)
        document.form.icon = Variant(m_icon);
    for (Control* c : m_order) {
        form_file::ControlEntry entry;
        entry.kind = std::string(c->kind());
        entry.name = c->Name();
        entry.index = c->Index();
        if (c->Container() && c->Container() != this)
            entry.container = c->Container()->DisplayName();
        entry.left = c->Left();
        entry.top = c->Top();
        entry.width = c->Width();
        entry.height = c->Height();
        entry.visible = c->Visible();
        entry.has_properties = true;
        if (auto* uc = dynamic_cast<UserControl*>(c)) {
            // The host keeps every user control's size in HIMETRIC ahead of its own entries.
            entry.properties.WriteProperty("_extentx", int32_t(std::lround(c->Width() * 2540.0 / 1440.0)));
            entry.properties.WriteProperty("_extenty", int32_t(std::lround(c->Height() * 2540.0 / 1440.0)));
            uc->UserControl_WriteProperties(entry.properties);
        } else {
            c->write_design_properties(entry.properties);
        }
        document.controls.push_back(std::move(entry));
    }
    return form_file::write(document, base_dir);
}

ErrorOr<void> Form::save_file(const std::string& path)
{
    std::string base_dir = std::filesystem::path(path).parent_path().string();
    auto text = save_text(base_dir.empty() ? "." : base_dir);
    if (text.is_error())
        return text.error();
    // Write beside the file and rename, so a failed save never leaves half a form.
    std::string temporary = path + ".saving";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file)
            return Error {path + ": cannot write the form file"};
        file << text.value();
        if (!file.good())
            return Error {path + ": cannot write the form file"};
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        return Error {path + ": cannot replace the form file"};
    }
    m_dirty = false;
    return {};
}

} // namespace sorrel::host
