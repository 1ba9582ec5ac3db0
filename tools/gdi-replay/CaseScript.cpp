#include "tools/gdi-replay/CaseScript.h"

#include "tools/gdi-replay/TextScan.h"

#include <array>
#include <charconv>
#include <optional>
#include <set>

namespace sorrel::gdireplay {

namespace {

constexpr int slot_count = 10;
constexpr int max_side = 4096;

std::optional<int64_t> parse_integer(std::string_view token)
{
    bool negative = !token.empty() && token.front() == '-';
    std::string_view digits = negative ? token.substr(1) : token;
    if (digits.empty() || digits.size() > 11)
        return std::nullopt;
    int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return value;
}

std::optional<int64_t> parse_color(std::string_view token)
{
    if (token.size() < 3 || token[0] != '0' || token[1] != 'x')
        return std::nullopt;
    int64_t value = 0;
    for (char c : token.substr(2)) {
        int digit = hex_digit(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + digit;
        if (value > 0xFFFFFF)
            return std::nullopt;
    }
    return value;
}

bool valid_name(std::string_view name)
{
    if (name.empty())
        return false;
    for (char c : name) {
        bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'
            || c == '.' || c == '-';
        if (!ok)
            return false;
    }
    return true;
}

enum class Arg {
    Int,
    Color,
};

struct Syntax {
    std::string_view word;
    Command::Kind kind;
    std::vector<Arg> args;
};

const std::vector<Syntax>& syntaxes()
{
    using K = Command::Kind;
    constexpr Arg I = Arg::Int;
    constexpr Arg C = Arg::Color;
    static const std::vector<Syntax> table {
        {"pen", K::Pen, {C}},
        {"moveto", K::MoveTo, {I, I}},
        {"lineto", K::LineTo, {I, I}},
        {"pixel", K::Pixel, {I, I, C}},
        {"fill", K::Fill, {I, I, I, I, C}},
        {"frame", K::Frame, {I, I, I, I, C}},
        {"focus", K::Focus, {I, I, I, I}},
        {"gradient", K::Gradient, {I, I, C, I, I, C, I}},
        {"rgn_rect", K::RegionRect, {I, I, I, I, I}},
        {"rgn_diff", K::RegionDiff, {I, I, I}},
        {"rgn_fill", K::RegionFill, {I, C}},
        {"blt", K::Blt, {I, I, I, I, I, I}},
        {"stretch", K::Stretch, {I, I, I, I, I, I, I, I}},
    };
    return table;
}

class Parser {
public:
    ParseResult run(std::string_view text)
    {
        int line_number = 0;
        for (std::string_view line : split_lines(text)) {
            if (!parse_line(line, ++line_number))
                return m_error;
        }
        return std::move(m_cases);
    }

private:
    bool fail(int line, std::string message)
    {
        m_error = {line, std::move(message)};
        return false;
    }

    bool parse_line(std::string_view line, int number)
    {
        std::vector<std::string_view> tokens = split_tokens(line);
        if (tokens.empty() || tokens.front().front() == '#')
            return true;
        std::string_view word = tokens.front();
        if (word == "case")
            return parse_case(tokens, number);
        if (m_cases.empty())
            return fail(number, "the first command must be 'case'");
        if (word == "polygon" || word == "rgn_poly")
            return parse_points(tokens, number);
        for (const Syntax& syntax : syntaxes()) {
            if (syntax.word != word)
                continue;
            if (tokens.size() != syntax.args.size() + 1)
                return fail(number,
                    "'" + std::string(word) + "' takes " + std::to_string(syntax.args.size()) + " arguments");
            Command command {syntax.kind, {}, number};
            for (size_t i = 0; i < syntax.args.size(); ++i) {
                std::optional<int64_t> value
                    = syntax.args[i] == Arg::Int ? parse_integer(tokens[i + 1]) : parse_color(tokens[i + 1]);
                if (!value)
                    return fail(number,
                        "bad " + std::string(syntax.args[i] == Arg::Int ? "integer" : "colour") + " '"
                            + std::string(tokens[i + 1]) + "'");
                command.args.push_back(*value);
            }
            if (!check(command))
                return false;
            m_cases.back().commands.push_back(std::move(command));
            return true;
        }
        return fail(number, "unknown command '" + std::string(word) + "'");
    }

    bool parse_case(const std::vector<std::string_view>& tokens, int number)
    {
        if (tokens.size() != 5)
            return fail(number, "'case' takes a name, a width, a height and a colour");
        std::string name(tokens[1]);
        if (!valid_name(name))
            return fail(number, "bad case name '" + name + "'");
        if (!m_names.insert(name).second)
            return fail(number, "duplicate case name '" + name + "'");
        std::optional<int64_t> w = parse_integer(tokens[2]);
        std::optional<int64_t> h = parse_integer(tokens[3]);
        std::optional<int64_t> bg = parse_color(tokens[4]);
        if (!w || !h || *w < 1 || *h < 1 || *w > max_side || *h > max_side)
            return fail(number, "surface size must be 1 to 4096 pixels each way");
        if (!bg)
            return fail(number, "bad colour '" + std::string(tokens[4]) + "'");
        m_cases.push_back({name, int(*w), int(*h), uint32_t(*bg), {}});
        m_slots.fill(false);
        return true;
    }

    bool parse_points(const std::vector<std::string_view>& tokens, int number)
    {
        bool region = tokens[0] == "rgn_poly";
        size_t first = region ? 2 : 1;
        if (tokens.size() < first + 1)
            return fail(number, "missing point count");
        Command command {region ? Command::Kind::RegionPolygon : Command::Kind::Polygon, {}, number};
        if (region) {
            std::optional<int64_t> slot = parse_integer(tokens[1]);
            if (!slot || *slot < 0 || *slot >= slot_count)
                return fail(number, "region slot must be 0 to 9");
            command.args.push_back(*slot);
        }
        std::optional<int64_t> count = parse_integer(tokens[first]);
        int64_t minimum = region ? 3 : 2;
        if (!count || *count < minimum)
            return fail(number,
                "a " + std::string(tokens[0]) + " needs at least " + std::to_string(minimum) + " points");
        if (int64_t(tokens.size() - first - 1) != 2 * *count)
            return fail(number, "expected " + std::to_string(2 * *count) + " coordinates");
        for (size_t i = first + 1; i < tokens.size(); ++i) {
            std::optional<int64_t> value = parse_integer(tokens[i]);
            if (!value)
                return fail(number, "bad integer '" + std::string(tokens[i]) + "'");
            command.args.push_back(*value);
        }
        if (region)
            m_slots[size_t(command.args[0])] = true;
        m_cases.back().commands.push_back(std::move(command));
        return true;
    }

    bool slot_ok(int64_t slot, int number, bool must_hold)
    {
        if (slot < 0 || slot >= slot_count)
            return fail(number, "region slot must be 0 to 9");
        if (must_hold && !m_slots[size_t(slot)])
            return fail(number, "region slot " + std::to_string(slot) + " is empty");
        return true;
    }

    bool check(const Command& c)
    {
        using K = Command::Kind;
        const std::vector<int64_t>& a = c.args;
        switch (c.kind) {
        case K::Gradient:
            if (a[6] != 0 && a[6] != 1)
                return fail(c.line, "gradient mode must be 0 or 1");
            return true;
        case K::RegionRect:
            if (!slot_ok(a[0], c.line, false))
                return false;
            m_slots[size_t(a[0])] = true;
            return true;
        case K::RegionDiff:
            if (!slot_ok(a[0], c.line, true) || !slot_ok(a[1], c.line, true) || !slot_ok(a[2], c.line, true))
                return false;
            return true;
        case K::RegionFill:
            return slot_ok(a[0], c.line, true);
        case K::Blt:
            if (a[2] < 1 || a[3] < 1)
                return fail(c.line, "blt sizes must be at least 1");
            return true;
        case K::Stretch:
            if (a[2] < 1 || a[3] < 1 || a[6] < 1 || a[7] < 1)
                return fail(c.line, "stretch sizes must be at least 1");
            return true;
        default:
            return true;
        }
    }

    std::vector<Case> m_cases;
    std::set<std::string> m_names;
    std::array<bool, slot_count> m_slots {};
    ParseError m_error;
};

} // namespace

ParseResult parse_case_script(std::string_view text)
{
    return Parser().run(text);
}

} // namespace sorrel::gdireplay
