#pragma once

#include <tarvex/host/AttributePath.h>

namespace EntityModel {

/// Where `Terminal_t` and `Terminal_Group_t` entities keep what is not a plain attribute of
/// their own, for every writer and reader of terminals (the interchange import, the results
/// export), so that a terminal reads the same whoever made it.
class TerminalAttributes
{
public:
    /// How a group is exported: `Lump_t` (the group as one terminal) or `Separate_t`.
    static AttributePath exportType();
    /// The number of pins along the face's first direction (at least 1).
    static AttributePath pinsAlongFirst();
    /// The number of pins along the face's second direction (at least 1).
    static AttributePath pinsAlongSecond();
    /// What made the terminal: `Tarvex_Interchange_Model_t` for an imported one.
    static AttributePath constructionType();
    /// The terminal's node points as a flat list of doubles x0, y0, z0, x1, ... (m).
    static AttributePath nodes();
};

} // namespace EntityModel
