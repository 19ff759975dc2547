#pragma once

#include <tarvex/host/Entity.h>

#include <optional>

namespace EntityModel {

/// The colour an entity is shown in: red, green and blue from 0 to 255.
struct DisplayColour
{
    int red = 0;
    int green = 0;
    int blue = 0;

    bool operator==(const DisplayColour& other) const
    {
        return red == other.red && green == other.green && blue == other.blue;
    }
    bool operator!=(const DisplayColour& other) const { return !(*this == other); }
};

/// The one place the colour lives: `Display_Options_t / Colour_t`, a text "red,green,blue".
AttributePath colourPath();
/// The colour of `entity`; none when it has no colour or its text is not three numbers from
/// 0 to 255 separated by commas.
std::optional<DisplayColour> getColour(const Entity* entity);
/// Writes `colour` as the entity's colour text; false (nothing written) when a component lies
/// outside 0 to 255 or the host refuses the value.
bool setColourNoThrow(Entity* entity, const DisplayColour& colour);

} // namespace EntityModel
