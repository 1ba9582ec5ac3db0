#include "tools/gdi-replay/PixelDump.h"

#include "tools/gdi-replay/TextScan.h"

#include <cstdio>

namespace sorrel::gdireplay {

namespace {

void append_run(std::string& out, uint32_t color, int count, bool first)
{
    char buffer[32];
    int n = count > 1
        ? std::snprintf(buffer, sizeof(buffer), "%s%06x*%d", first ? "" : " ", color & 0xFFFFFF, count)
        : std::snprintf(buffer, sizeof(buffer), "%s%06x", first ? "" : " ", color & 0xFFFFFF);
    out.append(buffer, size_t(n));
}

std::optional<long> parse_decimal(std::string_view s)
{
    if (s.empty() || s.size() > 9)
        return std::nullopt;
    long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::optional<uint32_t> parse_hex6(std::string_view s)
{
    if (s.size() != 6)
        return std::nullopt;
    uint32_t v = 0;
    for (char c : s) {
        int d = hex_digit(c);
        if (d < 0)
            return std::nullopt;
        v = v * 16 + uint32_t(d);
    }
    return v;
}

} // namespace

void write_dump_case(std::string& out, std::string_view name, const gdi::Surface& surface)
{
    out += "case ";
    out += name;
    out += ' ' + std::to_string(surface.width()) + ' ' + std::to_string(surface.height()) + '\n';
    for (int y = 0; y < surface.height(); ++y) {
        const uint32_t* row = surface.scanline(y);
        int x = 0;
        bool first = true;
        while (x < surface.width()) {
            uint32_t color = row[x] & 0xFFFFFF;
            int run = 1;
            while (x + run < surface.width() && (row[x + run] & 0xFFFFFF) == color)
                ++run;
            append_run(out, color, run, first);
            first = false;
            x += run;
        }
        out += '\n';
    }
}

std::optional<std::vector<DumpCase>> read_dump(std::string_view text, std::string* error)
{
    std::vector<DumpCase> cases;
    const std::vector<std::string_view> lines = split_lines(text);
    auto fail = [&](size_t index, const std::string& message) -> std::optional<std::vector<DumpCase>> {
        if (error)
            *error = "line " + std::to_string(index + 1) + ": " + message;
        return std::nullopt;
    };
    size_t i = 0;
    while (i < lines.size()) {
        std::vector<std::string_view> header = split_tokens(lines[i]);
        if (header.size() == 1 && header[0] == "end")
            return cases;
        if (header.size() != 4 || header[0] != "case")
            return fail(i, "expected a case header or 'end'");
        std::optional<long> w = parse_decimal(header[2]);
        std::optional<long> h = parse_decimal(header[3]);
        if (!w || !h || *w < 1 || *h < 1 || *w > 4096 || *h > 4096)
            return fail(i, "bad size");
        DumpCase c {std::string(header[1]), int(*w), int(*h), {}};
        c.pixels.reserve(size_t(*w) * size_t(*h));
        for (long row = 0; row < *h; ++row) {
            size_t index = i + 1 + size_t(row);
            if (index >= lines.size())
                return fail(index, "missing row");
            long covered = 0;
            for (std::string_view token : split_tokens(lines[index])) {
                size_t star = token.find('*');
                std::optional<uint32_t> color = parse_hex6(token.substr(0, star));
                std::optional<long> count
                    = star == std::string_view::npos ? 1 : parse_decimal(token.substr(star + 1));
                if (!color || !count || *count < 1 || covered + *count > *w)
                    return fail(index, "bad pixel run '" + std::string(token) + "'");
                c.pixels.insert(c.pixels.end(), size_t(*count), *color);
                covered += *count;
            }
            if (covered != *w)
                return fail(index, "row does not cover the width");
        }
        i += 1 + size_t(*h);
        cases.push_back(std::move(c));
    }
    return fail(lines.size(), "missing 'end'");
}

} // namespace sorrel::gdireplay
