// A column of a list as the program describes it: its title and its width. Most lists give
// widths in dialog base units; a few in average character widths of the dialog font.
#pragma once

#include <string_view>

namespace velacor::base {

struct ListColumn {
    std::string_view title;
    int width;
};

}  // namespace velacor::base
