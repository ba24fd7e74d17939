#pragma once
// What a file name says about its file.

#include <cctype>
#include <string_view>

// True when `name` ends in `extension` (".png"), letters compared without case.
inline bool hasExtension(std::string_view name, std::string_view extension)
{
    if (name.size() < extension.size())
        return false;
    const std::string_view tail = name.substr(name.size() - extension.size());
    for (std::size_t k = 0; k < tail.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(tail[k])) != std::tolower(static_cast<unsigned char>(extension[k])))
            return false;
    return true;
}
