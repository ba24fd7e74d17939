#pragma once
// The end stages a Python caller names, and the item index of the end-stage box
// each stands for. Adding a route is one row here.

#include <array>
#include <optional>
#include <string_view>

struct EndStageName {
    std::string_view name;
    int boxIndex;  // -1: nothing chosen in the box
};

inline constexpr std::array<EndStageName, 5> endStageNames{{
    {"basic", 0},
    {"l1", 1},
    {"toffoli", 2},
    {"shannon", 3},  // basic gates with the fewest CNOTs
    {"none", -1},
}};

// The row of `name`; empty for a name that is not in the table.
inline std::optional<EndStageName> findEndStage(std::string_view name)
{
    for (const EndStageName& row : endStageNames)
        if (row.name == name)
            return row;
    return std::nullopt;
}

// The name of a box index; "none" for an index that is not in the table.
inline std::string_view endStageNameOf(int boxIndex)
{
    for (const EndStageName& row : endStageNames)
        if (row.boxIndex == boxIndex)
            return row.name;
    return "none";
}
