#include "platform/gdi/text/FaceName.h"

#include <cctype>

namespace sorrel::gdi {

static bool is_space(char c)
{
    return c == ' ' || c == '\t';
}

static std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && is_space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && is_space(s.back()))
        s.remove_suffix(1);
    return s;
}

// Removes " <word>" from the end of `name` when it is there, case-insensitively.
static bool strip_suffix_word(std::string_view& name, std::string_view word)
{
    if (name.size() <= word.size())
        return false;
    size_t start = name.size() - word.size();
    if (!is_space(name[start - 1]))
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[start + i])) != word[i])
            return false;
    }
    name = trimmed(name.substr(0, start));
    return true;
}

FaceName FaceName::parse(std::string_view name)
{
    FaceName result;
    name = trimmed(name);
    for (;;) {
        if (strip_suffix_word(name, "bold"))
            result.bold = true;
        else if (strip_suffix_word(name, "italic"))
            result.italic = true;
        else
            break;
    }
    result.family = std::string(name);
    return result;
}

} // namespace sorrel::gdi
