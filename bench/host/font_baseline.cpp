// The start-up baseline: a process that only initialises fontconfig and FreeType and loads one
// face, the least any program that draws text with them does.

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>

int main()
{
    if (!FcInit())
        return 1;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcChar8* file = nullptr;
    if (!match || FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch)
        return 1;
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) || FT_New_Face(library, reinterpret_cast<const char*>(file), 0, &face))
        return 1;
    FT_Set_Pixel_Sizes(face, 0, 11);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return 0;
}
