#include <tarvex/objects/TarvexLayeredPart.h>

#include <tarvex/objects/TarvexPartVisitorConst.h>

#include <algorithm>

namespace Tarvex {

TarvexLayeredPart::TarvexLayeredPart(PowerSourceList powerSources)
    : TarvexPartBaseWithPowerSources(std::move(powerSources))
{
}

TarvexLayeredPart::~TarvexLayeredPart() = default;

int TarvexLayeredPart::getPartType() const
{
    return LayeredPart;
}

QString TarvexLayeredPart::getName(bool) const
{
    return getObjectName();
}

QString TarvexLayeredPart::getObjectName() const
{
    return layers.empty() || !layers.front() ? QString() : layers.front()->getObjectName();
}

QString TarvexLayeredPart::getType() const
{
    return layers.empty() || !layers.front() ? QString() : layers.front()->getType();
}

std::vector<TarvexPlacedGeometry> TarvexLayeredPart::getGeometryPieces() const
{
    std::vector<TarvexPlacedGeometry> pieces;
    for (const auto& layer : layers) {
        if (!layer)
            continue;
        for (TarvexPlacedGeometry& piece : layer->getGeometryPieces())
            pieces.push_back(std::move(piece));
    }
    return pieces;
}

std::vector<TarvexPlacedGeometry> TarvexLayeredPart::getFlatGeometryPieces() const
{
    std::vector<TarvexPlacedGeometry> pieces;
    for (const auto& layer : layers) {
        if (!layer)
            continue;
        for (TarvexPlacedGeometry& piece : layer->getFlatGeometryPieces())
            pieces.push_back(std::move(piece));
    }
    return pieces;
}

bool TarvexLayeredPart::accept(TarvexPartVisitorConst& visitor) const
{
    visitor.visitLayeredPart(*this);
    bool result = visitor.visitChildren(*this);
    if (!result)
        return false;
    for (const auto& layer : layers) {
        if (layer)
            result = layer->accept(visitor);
    }
    return result;
}

TarvexPlacedGeometry TarvexLayeredPart::createGeometry() const
{
    std::vector<TarvexPart*> children;
    children.reserve(layers.size());
    for (const auto& layer : layers)
        children.push_back(layer.get());
    return uniteGeometries(children, true);
}

TarvexPart* TarvexLayeredPart::addCell(std::unique_ptr<TarvexPart> cell, bool mergeIntoLayers)
{
    if (!cell)
        return nullptr;
    const double z = cellElevation(*cell);
    if (mergeIntoLayers) {
        const QString objectName = cell->getObjectName();
        for (const auto& layer : layers) {
            if (layer && layer->getObjectName() == objectName && layer->getElevation() == z) {
                TarvexPart* stored = layer->addCell(std::move(cell));
                setGeometryDirty();
                return stored;
            }
        }
    }
    auto layer = std::make_unique<TarvexLayeredPartLayer>(z);
    layer->setParent(this);
    TarvexPart* stored = layer->addCell(std::move(cell));
    const auto position = std::upper_bound(layers.begin(), layers.end(), z, [](double elevation, const auto& other) {
        return other && elevation < other->getElevation();
    });
    layers.insert(position, std::move(layer));
    setGeometryDirty();
    return stored;
}

double TarvexLayeredPart::cellElevation(TarvexPart& cell)
{
    return cell.getGeometry().flattened().transform.getTranslation().z;
}

QList<TarvexTerminal> TarvexLayeredPart::getTerminals() const
{
    QList<TarvexTerminal> terminals;
    for (const auto& layer : layers) {
        if (layer)
            terminals += layer->getTerminals();
    }
    return terminals;
}

} // namespace Tarvex
