#include <tarvex/objects/TarvexPartClass.h>

#include <tarvex/interchange/TXMXMLGeom.h>
#include <tarvex/objects/TarvexPart.h>

namespace Tarvex {

int classifyPart(const QString& type, const QString& objectName)
{
    if (type == QLatin1String("PCB") || (type == QLatin1String("STL") && objectName.contains(QLatin1String("PCB"))))
        return BoardPart;
    if (type == QLatin1String("Package") || objectName.contains(QLatin1String("Substrate")))
        return PackagePart;
    return OtherPart;
}

int classifyPart(const TarvexPart& part) { return classifyPart(part.getType(), part.getObjectName()); }

bool isHeatSink(const TarvexPart& part) { return part.getType() == TXMXMLGeom::heatSinkType(); }

} // namespace Tarvex
