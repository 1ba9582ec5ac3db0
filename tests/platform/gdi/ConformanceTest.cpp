// Replays the conformance cases and compares every pixel with the reference dump.

#include "tools/gdi-replay/CaseReplay.h"
#include "tools/gdi-replay/CaseScript.h"
#include "tools/gdi-replay/PixelDump.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

using namespace sorrel::gdireplay;

namespace {

std::string read_file(const std::string& name)
{
    std::ifstream file(std::string(GDI_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

TEST(Conformance, PublicCasesMatchTheReferencePixelForPixel)
{
    ParseResult parsed = parse_case_script(read_file("public.cases"));
    ASSERT_TRUE(std::holds_alternative<std::vector<Case>>(parsed));
    const auto& cases = std::get<std::vector<Case>>(parsed);

    std::string error;
    std::optional<std::vector<DumpCase>> reference = read_dump(read_file("public.ref"), &error);
    ASSERT_TRUE(reference) << error;
    ASSERT_EQ(reference->size(), cases.size());

    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const DumpCase& expected = (*reference)[i];
        SCOPED_TRACE(c.name);
        ASSERT_EQ(expected.name, c.name);
        sorrel::gdi::Surface surface = replay_case(c);
        ASSERT_EQ(surface.width(), expected.width);
        ASSERT_EQ(surface.height(), expected.height);
        int wrong = 0;
        std::string first;
        for (int y = 0; y < surface.height(); ++y) {
            for (int x = 0; x < surface.width(); ++x) {
                uint32_t got = surface.scanline(y)[x] & 0xFFFFFF;
                uint32_t want = expected.pixels[size_t(y) * size_t(expected.width) + size_t(x)];
                if (got != want && wrong++ == 0)
                    first = "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
            }
        }
        EXPECT_EQ(wrong, 0) << "first wrong pixel at " << first;
    }
}

TEST(Conformance, OwnDumpReadsBackAndOtherRunDivisionsAreAccepted)
{
    sorrel::gdi::Surface surface(4, 2, 0x0000FF);
    surface.set_pixel(3, 1, 0xABCDEF);
    std::string out;
    write_dump_case(out, "x", surface);
    out += "end\n";
    EXPECT_EQ(out, "case x 4 2\n0000ff*4\n0000ff*3 abcdef\nend\n");

    auto dump = read_dump("case y 4 1\n0000FF*1 0000ff 0000ff*2\nend\n");
    ASSERT_TRUE(dump);
    EXPECT_EQ((*dump)[0].pixels, (std::vector<uint32_t> {0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(read_dump("case y 4 1\n0000ff*5\nend\n"));
    EXPECT_FALSE(read_dump("case y 4 1\n0000ff*4\n"));
}

namespace {

int error_line(std::string_view script)
{
    ParseResult parsed = parse_case_script(script);
    auto* error = std::get_if<ParseError>(&parsed);
    return error ? error->line : 0;
}

} // namespace

TEST(CaseScript, InvalidScriptsNameTheLine)
{
    EXPECT_EQ(error_line("pen 0x0\n"), 1); // before any case
    EXPECT_EQ(error_line("# c\n\ncase a 2 2 0x0\nlineto 1\n"), 4);
    EXPECT_EQ(error_line("case a 2 2 0x0\npen 0x1000000\n"), 2); // top byte set
    EXPECT_EQ(error_line("case a 2 2 0x0\npen FF\n"), 2);
    EXPECT_EQ(error_line("case a 2 2 0x0\nmoveto +1 2\n"), 2);
    EXPECT_EQ(error_line("case a 2 2 0x0\nmoveto 2147483648 0\n"), 2);
    EXPECT_EQ(error_line("case a 0 2 0x0\n"), 1);
    EXPECT_EQ(error_line("case a 4097 2 0x0\n"), 1);
    EXPECT_EQ(error_line("case a 2 2 0x0\ncase a 2 2 0x0\n"), 2); // duplicate name
    EXPECT_EQ(error_line("case a/b 2 2 0x0\n"), 1);
    EXPECT_EQ(error_line("case a 2 2 0x0\nrgn_fill 3 0x0\n"), 2); // empty slot
    EXPECT_EQ(error_line("case a 2 2 0x0\nrgn_rect 10 0 0 1 1\n"), 2);
    EXPECT_EQ(error_line("case a 2 2 0x0\nrgn_rect 1 0 0 1 1\ncase b 2 2 0x0\nrgn_fill 1 0x0\n"), 4);
    EXPECT_EQ(error_line("case a 2 2 0x0\npolygon 3 0 0 1 1\n"), 2);
    EXPECT_EQ(error_line("case a 2 2 0x0\nrgn_poly 0 2 0 0 1 1\n"), 2);
    EXPECT_EQ(error_line("case a 2 2 0x0\nblt 0 0 0 1 0 0\n"), 2);
    EXPECT_EQ(error_line("case a 2 2 0x0\ngradient 0 0 0x0 1 1 0x0 2\n"), 2);
    EXPECT_EQ(error_line("case a 2 2 0x0\nmoveto\t1 2\n"), 2); // only spaces separate tokens
    EXPECT_EQ(error_line("case a 2 2 0x0\nfill 0 0 1 1 0x0 # no trailing comments\n"), 2);

    EXPECT_EQ(error_line("  # comment\r\ncase a 2 2 0X0\n"), 2);
    EXPECT_EQ(error_line("  # comment\r\ncase   a 2 2  0x0000ff  \r\n\n  \nlineto -1 -0\n"), 0);
}
