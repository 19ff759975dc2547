#include <tarvex/objects/TarvexLayeredPartLayer.h>

#include <tarvex/objects/TarvexBasicPart.h>
#include <tarvex/objects/TarvexLayeredPart.h>
#include <tarvex/objects/TarvexPartVisitorConst.h>

#include <algorithm>

namespace Tarvex {

namespace {

const QLatin1Char underscore('_');

/// `running` cut back to the last "_" before its first difference from `name`; empty when
/// there is no such "_". Unchanged when `running` is a prefix of `name`.
QString commonPrefix(const QString& running, const QString& name)
{
    const int common = std::min(running.size(), name.size());
    int mismatch = 0;
    while (mismatch < common && running.at(mismatch) == name.at(mismatch))
        ++mismatch;
    if (mismatch >= running.size())
        return running;
    const int cut = running.lastIndexOf(underscore, mismatch);
    return cut < 0 ? QString() : running.left(cut);
}

QString trimmedUnderscores(const QString& text)
{
    int first = 0;
    int last = text.size();
    while (first < last && text.at(first) == underscore)
        ++first;
    while (last > first && text.at(last - 1) == underscore)
        --last;
    return text.mid(first, last - first);
}

} // namespace

TarvexLayeredPartLayer::TarvexLayeredPartLayer(double layerElevation)
    : elevation(layerElevation)
{
}

TarvexLayeredPartLayer::~TarvexLayeredPartLayer() = default;

int TarvexLayeredPartLayer::getPartType() const
{
    return LayeredPartLayer;
}

QString TarvexLayeredPartLayer::getName(bool full) const
{
    QString name;
    bool first = true;
    for (const auto& cell : cells) {
        if (!cell)
            continue;
        const QString cellName = displayName(*cell, true);
        if (first) {
            name = cellName;
            first = false;
            continue;
        }
        name = commonPrefix(name, cellName);
        if (name.isEmpty())
            break;
    }
    if (!full) {
        const QString prefix = getObjectName() + underscore;
        if (name.startsWith(prefix))
            name.remove(0, prefix.size());
    }
    name = trimmedUnderscores(name);
    if (!name.isEmpty())
        return name;

    const TarvexPart* owner = getParent();
    if (owner != nullptr && owner->getPartType() == LayeredPart) {
        const auto& layers = static_cast<const TarvexLayeredPart*>(owner)->getLayers();
        for (size_t i = 0; i < layers.size(); ++i) {
            if (layers[i].get() == this)
                return QStringLiteral("Layer %1").arg(i + 1);
        }
    }
    return QString();
}

QString TarvexLayeredPartLayer::getObjectName() const
{
    return cells.empty() || !cells.front() ? QString() : cells.front()->getObjectName();
}

QString TarvexLayeredPartLayer::getType() const
{
    return cells.empty() || !cells.front() ? QString() : cells.front()->getType();
}

bool TarvexLayeredPartLayer::accept(TarvexPartVisitorConst& visitor) const
{
    visitor.visitLayer(*this);
    bool result = visitor.visitChildren(*this);
    if (!result)
        return false;
    for (const auto& cell : cells) {
        if (cell)
            result = cell->accept(visitor);
    }
    return result;
}

TarvexPlacedGeometry TarvexLayeredPartLayer::createGeometry() const
{
    std::vector<TarvexPart*> children;
    children.reserve(cells.size());
    for (const auto& cell : cells)
        children.push_back(cell.get());
    return uniteGeometries(children, true);
}

TarvexPart* TarvexLayeredPartLayer::addCell(std::unique_ptr<TarvexPart> cell)
{
    if (!cell)
        return nullptr;
    cell->setParent(this);
    cells.push_back(std::move(cell));
    setGeometryDirty();
    return cells.back().get();
}

QList<TarvexTerminal> TarvexLayeredPartLayer::getTerminals() const
{
    QList<TarvexTerminal> terminals;
    for (const auto& cell : cells) {
        if (const auto* block = dynamic_cast<const TarvexBasicPart*>(cell.get()))
            terminals += block->getTerminals();
    }
    return terminals;
}

} // namespace Tarvex
