#include "interchange/TarvexTXMXMLUpdater.h"

namespace Tarvex {

namespace {
const QString modelTag = QStringLiteral("TARVEX_INTERCHANGE_MODEL");
const QString legacyModelTag = QStringLiteral("NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL");
} // namespace

TXMFileVersion TarvexTXMXMLUpdater::current() { return TXMFileVersion::current(); }

bool TarvexTXMXMLUpdater::needsUpdate(const TXMFileVersion& version) const { return !(current() < version); }

bool TarvexTXMXMLUpdater::needsUpdate(const TarvexTXMXMLDocument& document) const
{
    return needsUpdate(document.getSchemaVersion());
}

bool TarvexTXMXMLUpdater::needsUpdate(const TXMXMLModel& model) const { return needsUpdate(model.getSchemaVersion()); }

TarvexTXMXMLDocument TarvexTXMXMLUpdater::update(const TarvexTXMXMLDocument& document)
{
    if (!needsUpdate(document))
        return document;

    TXMXMLModel model = document.getModel();
    if (model.isNull()) {
        const QDomElement root = document.document().documentElement();
        if (root.isNull() || root.tagName() != legacyModelTag)
            return TarvexTXMXMLDocument();
        // Files of the tool's former name carry no version: they are the oldest layout.
        model = TXMXMLModel(root);
        model.setTagName(modelTag);
        model.setSchemaVersion(TXMFileVersion());
    }

    const TXMXMLModel updated = update(model);
    TarvexTXMXMLDocument result = document;
    QDomElement root = result.document().documentElement();
    if (updated.element() != root)
        result.document().replaceChild(updated.element(), root);
    return result;
}

TXMXMLModel TarvexTXMXMLUpdater::update(const TXMXMLModel& model)
{
    if (!needsUpdate(model))
        return model;
    TXMXMLModel result = model;
    result.setTagName(modelTag);
    // The per-element rules of the older layouts land together with the element wrappers.
    return result;
}

} // namespace Tarvex
