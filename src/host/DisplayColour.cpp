#include <tarvex/host/DisplayColour.h>

#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/SolverTypes.h>

#include <QStringList>

namespace EntityModel {

namespace {

bool isComponent(int value) { return value >= 0 && value <= 255; }

} // namespace

AttributePath colourPath() { return Display_Options_t / Colour_t; }

std::optional<DisplayColour> getColour(const Entity* entity)
{
    const QStringList parts = getStringValue(entity, colourPath()).split(QLatin1Char(','));
    if (parts.size() != 3)
        return std::nullopt;
    int values[3] = {};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toInt(&ok);
        if (!ok || !isComponent(values[i]))
            return std::nullopt;
    }
    return DisplayColour{values[0], values[1], values[2]};
}

bool setColourNoThrow(Entity* entity, const DisplayColour& colour)
{
    if (!isComponent(colour.red) || !isComponent(colour.green) || !isComponent(colour.blue))
        return false;
    const QString text = QStringLiteral("%1,%2,%3").arg(colour.red).arg(colour.green).arg(colour.blue);
    return EntityEditor::setValueNoThrow(entity, colourPath(), text);
}

} // namespace EntityModel
