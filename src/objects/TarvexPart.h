#pragma once

#include <QString>

namespace Tarvex {

/// One part of the object model built from an interchange file: a block, a layered part
/// and its layers and cells, a solder ball or bump, or a composite of parts. Lengths are in
/// metres and powers in watts.
class TarvexPart
{
public:
    virtual ~TarvexPart();
    /// The kind code of the part (basic 1, two-resistor 2, composite 3, ball 4, bump 5,
    /// layered 16, layer 17, cell 18).
    virtual int getPartType() const = 0;
    /// The display name; `full` adds the owning object's name where the kind has one.
    virtual QString getName(bool full) const = 0;
    /// The name of the object the part belongs to.
    virtual QString getObjectName() const = 0;
    /// The interchange type text ("PCB", "Package", ...).
    virtual QString getType() const = 0;
};

} // namespace Tarvex
