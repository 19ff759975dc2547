#pragma once

#include <QString>

namespace Tarvex {

class TarvexPart;

/// The kind of entity a part becomes, as the object and entity builders decide it.
enum TarvexPartClass
{
    /// A printed circuit board: type "PCB", or "STL" with "PCB" in the object name.
    BoardPart = 1,
    /// A package: type "Package", or "Substrate" in the object name.
    PackagePart = 2,
    /// Anything else.
    OtherPart = 3
};

/// The class of a part of interchange type `type` belonging to object `objectName`
/// (`TarvexPartClass`: board 1, package 2, other 3). Names keep their case.
int classifyPart(const QString& type, const QString& objectName);
/// The class of `part`, from its type and object name.
int classifyPart(const TarvexPart& part);

/// True when `part` is a heat sink (or a piece of one), which is never a component of its own.
bool isHeatSink(const TarvexPart& part);

} // namespace Tarvex
