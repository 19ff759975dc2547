#include <tarvex/interchange/TarvexTXMXMLUpdater.h>

#include <tarvex/interchange/TXMXMLElementLists.h>

namespace Tarvex {

namespace {

const QString modelTag = QStringLiteral("TARVEX_INTERCHANGE_MODEL");
const QString legacyModelTag = QStringLiteral("NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL");
// The older spelling of "SimplificationOptions", written by the first releases.
const QString misspelledOptionsTag = QStringLiteral("SimplifictionOptions");
const QString optionsTag = QStringLiteral("SimplificationOptions");

const QString objectNameAttribute = QStringLiteral("ObjectName");
const QString geomNameAttribute = QStringLiteral("GeomName");
const QString matNameAttribute = QStringLiteral("MatName");
const QString metalMatAttribute = QStringLiteral("MetalMat");
// Misspelled in the files as they were written; the layout include spells it right.
const QString dielectricMatAttribute = QStringLiteral("DieletricMat");
const QString metalDensityFileAttribute = QStringLiteral("MetalDensityFile");

// Below this a file is old: it gets every rule.
bool isOld(const TXMFileVersion& version) { return version < TXMFileVersion::current(); }

// Not above the current version: the rules that current files may still need.
bool isNotNewer(const TXMFileVersion& version) { return !(TXMFileVersion::current() < version); }

// Object names of files below 2025.1 carry the compact-model suffixes.
bool hasSuffixedObjectNames(const TXMFileVersion& version) { return version < TXMFileVersion::layeredFormat(); }

// Moves the value of `from` to `to` and removes `from`; nothing when `from` is absent.
void moveAttribute(InterProcess::XMLDOMNode& node, const QString& from, const QString& to)
{
    if (!node.hasAttribute(from))
        return;
    node.setAttributeString(to, node.getAttributeString(from));
    node.removeAttribute(from);
}

// The rename shared by terminals, layout includes and power sources: elements that name
// their footprint in "GeomName" get it as "ObjectName", unless they already have one.
template <typename Element>
Element renameGeomName(const Element& element, const TXMFileVersion& version)
{
    Element result = element;
    if (isNotNewer(version) && !result.hasAttribute(objectNameAttribute))
        moveAttribute(result, geomNameAttribute, objectNameAttribute);
    return result;
}

// Updates every child of `parent` called `name` in place with `update`, then leaves the
// children as rewriting the list would: those of that name after all others, in order.
// Files nearly always have them last already; they are only moved when they are not, as
// moving hundreds of thousands of footprints costs a good part of the parse.
template <typename Wrapper, typename Update>
void updateChildren(InterProcess::XMLDOMNode& parent, const QString& name, const Update& update)
{
    const QList<Wrapper> children = wrapChildElements<Wrapper>(parent, name);
    for (const Wrapper& child : children)
        update(child);
    if (!parent.areChildElementsLast(name))
        replaceChildElements(parent, name, wrapChildElements<Wrapper>(parent, name));
}

} // namespace

TXMFileVersion TarvexTXMXMLUpdater::current() { return TXMFileVersion::current(); }

bool TarvexTXMXMLUpdater::needsUpdate(const TXMFileVersion& version) const { return isNotNewer(version); }

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
        const InterProcess::XMLDOMNode root = document.getRootElement();
        if (root.isNull() || root.getTagName() != legacyModelTag)
            return TarvexTXMXMLDocument();
        // Files of the tool's former name carry no version: they are the oldest layout.
        model = TXMXMLModel(root);
        model.setTagName(modelTag);
        model.setSchemaVersion(TXMFileVersion());
    }

    const TXMXMLModel updated = update(model);
    TarvexTXMXMLDocument result = document;
    result.setRootElement(updated);
    return result;
}

TXMXMLModel TarvexTXMXMLUpdater::update(const TXMXMLModel& model)
{
    const TXMFileVersion version = model.getSchemaVersion();
    if (model.isNull() || !needsUpdate(version))
        return model;
    TXMXMLModel result = model;
    result.setTagName(modelTag);
    // Layouts collected from another model must never land in this one.
    m_collectedLayoutSet = InterProcess::XMLDOMNode();

    if (isOld(version)) {
        const InterProcess::XMLDOMNode misspelled = result.getFirstChildElement(misspelledOptionsTag);
        if (!misspelled.isNull()) {
            // The first misspelled element replaces a correctly spelled one; the rest go.
            result.setChildElement(optionsTag, misspelled);
            result.removeChildElements(misspelledOptionsTag);
        }
        result.setSimplificationOptions(update(result.getSimplificationOptions(), version));
        result.setMaterialSet(update(result.getMaterialSet(), version));
        // Footprints are brought up to date for old files only; a 2025.1.0 file is taken to
        // spell its layer materials the current way. The footprint update keeps its own
        // thresholds for callers that run it directly.
        result.setGeomSet(update(result.getGeomSet(), version));
    }

    // Layouts found on footprints become the file's layout set, unless the file already
    // lists layouts of its own; then the file's list wins and the collected ones are
    // dropped. A file from which nothing was collected gets no empty "LayoutSet".
    if (!m_collectedLayoutSet.isNull()) {
        const TXMXMLLayoutSet existing = result.getLayoutSet();
        if (existing.getFirstChildElement(QStringLiteral("Include")).isNull())
            result.setLayoutSet(getCollectedLayoutSet());
    }
    result.setLayoutSet(update(result.getLayoutSet(), version));
    result.setPower2DSourceSet(update(result.getPower2DSourceSet(), version));
    // Terminals are updated too: they are matched to footprints by "ObjectName", so an
    // older terminal naming its footprint in "GeomName" would otherwise be lost.
    result.setTerminalSet(update(result.getTerminalSet(), version));
    result.setSolderBallSet(update(result.getSolderBallSet(), version));
    result.setSolderBumpSet(update(result.getSolderBumpSet(), version));
    return result;
}

LegacyXMLSimplificationOptions TarvexTXMXMLUpdater::update(const LegacyXMLSimplificationOptions& options,
                                                           const TXMFileVersion& fileVersion) const
{
    LegacyXMLSimplificationOptions result = options;
    if (result.isNull())
        return result;
    updateChildren<LegacyXMLSimplificationModel>(
        result, QStringLiteral("Model"), [&](const LegacyXMLSimplificationModel& model) { update(model, fileVersion); });
    return result;
}

LegacyXMLSimplificationModel TarvexTXMXMLUpdater::update(const LegacyXMLSimplificationModel& model,
                                                         const TXMFileVersion& fileVersion) const
{
    // Every old "Model" is renamed. The rule this replaces renamed only models holding a
    // misspelled "SimplifictionOptions" child, which no file has: their grids were lost.
    LegacyXMLSimplificationModel result = model;
    if (isOld(fileVersion)) {
        moveAttribute(result, QStringLiteral("Nx"), QStringLiteral("NX"));
        moveAttribute(result, QStringLiteral("Ny"), QStringLiteral("NY"));
    }
    return result;
}

TXMXMLMaterialSet TarvexTXMXMLUpdater::update(const TXMXMLMaterialSet& materialSet,
                                              const TXMFileVersion& fileVersion) const
{
    TXMXMLMaterialSet result = materialSet;
    if (result.isNull())
        return result;
    updateChildren<TXMXMLMaterial>(result, QStringLiteral("Material"),
                                   [&](const TXMXMLMaterial& material) { update(material, fileVersion); });
    updateChildren<TXMXMLMaterialInclude>(result, QStringLiteral("Include"),
                                          [&](const TXMXMLMaterialInclude& include) { update(include, fileVersion); });
    return result;
}

TXMXMLMaterial TarvexTXMXMLUpdater::update(const TXMXMLMaterial& material, const TXMFileVersion&) const
{
    return material;
}

TXMXMLMaterialInclude TarvexTXMXMLUpdater::update(const TXMXMLMaterialInclude& include, const TXMFileVersion&) const
{
    return include;
}

TXMXMLGeomSet TarvexTXMXMLUpdater::update(const TXMXMLGeomSet& geomSet, const TXMFileVersion& fileVersion)
{
    // The "LayoutSet" element is only made once a footprint has a layout to move into it.
    m_collectedLayoutSet = InterProcess::XMLDOMNode();
    TXMXMLGeomSet result = geomSet;
    if (result.isNull())
        return result;
    updateChildren<TXMXMLGeom>(result, QStringLiteral("Geom"), [&](const TXMXMLGeom& geom) { update(geom, fileVersion); });
    return result;
}

TXMXMLGeom TarvexTXMXMLUpdater::update(const TXMXMLGeom& geom, const TXMFileVersion& fileVersion)
{
    TXMXMLGeom result = geom;
    if (result.isNull())
        return result;

    if (hasSuffixedObjectNames(fileVersion)) {
        const QString objectName = result.getObjectName();
        if (objectName.endsWith(QLatin1String("_JB")) || objectName.endsWith(QLatin1String("_JC"))) {
            QString plain = objectName;
            plain.remove(QStringLiteral("_JB"));
            plain.remove(QStringLiteral("_JC"));
            result.setObjectName(plain);
        }
    }
    if (!isNotNewer(fileVersion))
        return result;

    const bool hasMatName = result.hasAttribute(matNameAttribute);
    const bool hasMetal = result.hasAttribute(metalMatAttribute);
    const bool hasDielectric = result.hasAttribute(dielectricMatAttribute);
    if (hasMatName)
        return result;
    if (hasMetal && hasDielectric) {
        // A layer cell with a metal layout: the layout goes to the layout set.
        TXMXMLLayoutInclude include(result.createElement(QStringLiteral("Include")));
        include.setObjectName(result.getName());
        include.setMetalMat(result.getAttributeString(metalMatAttribute));
        include.setDielectricMat(result.getAttributeString(dielectricMatAttribute));
        include.setFile(result.getAttributeString(metalDensityFileAttribute));
        result.removeAttribute(metalMatAttribute);
        result.removeAttribute(dielectricMatAttribute);
        result.removeAttribute(metalDensityFileAttribute);
        if (m_collectedLayoutSet.isNull())
            m_collectedLayoutSet = result.createElement(QStringLiteral("LayoutSet"));
        m_collectedLayoutSet.appendChildElement(QStringLiteral("Include"), include);
    } else if (hasMetal) {
        moveAttribute(result, metalMatAttribute, matNameAttribute);
    } else if (hasDielectric) {
        moveAttribute(result, dielectricMatAttribute, matNameAttribute);
    }
    return result;
}

TXMXMLLayoutSet TarvexTXMXMLUpdater::update(const TXMXMLLayoutSet& layoutSet, const TXMFileVersion& fileVersion) const
{
    TXMXMLLayoutSet result = layoutSet;
    if (result.isNull() || !isNotNewer(fileVersion))
        return result;
    updateChildren<TXMXMLLayoutInclude>(result, QStringLiteral("Include"),
                                        [&](const TXMXMLLayoutInclude& include) { update(include, fileVersion); });
    return result;
}

TXMXMLLayoutInclude TarvexTXMXMLUpdater::update(const TXMXMLLayoutInclude& include,
                                                const TXMFileVersion& fileVersion) const
{
    return renameGeomName(include, fileVersion);
}

TXMXMLPower2DSourceSet TarvexTXMXMLUpdater::update(const TXMXMLPower2DSourceSet& sourceSet,
                                                   const TXMFileVersion& fileVersion) const
{
    TXMXMLPower2DSourceSet result = sourceSet;
    if (result.isNull() || !isNotNewer(fileVersion))
        return result;
    updateChildren<TXMXMLPower2DSource>(result, QStringLiteral("Power2DSource"),
                                        [&](const TXMXMLPower2DSource& source) { update(source, fileVersion); });
    return result;
}

TXMXMLPower2DSource TarvexTXMXMLUpdater::update(const TXMXMLPower2DSource& source,
                                                const TXMFileVersion& fileVersion) const
{
    return renameGeomName(source, fileVersion);
}

TXMXMLTerminalSet TarvexTXMXMLUpdater::update(const TXMXMLTerminalSet& terminalSet,
                                              const TXMFileVersion& fileVersion) const
{
    TXMXMLTerminalSet result = terminalSet;
    if (result.isNull() || !isNotNewer(fileVersion))
        return result;
    for (const TXMXMLTerminalGroup& group : wrapChildElements<TXMXMLTerminalGroup>(result, QStringLiteral("TerminalGroup")))
        update(group, fileVersion);
    return result;
}

TXMXMLTerminalGroup TarvexTXMXMLUpdater::update(const TXMXMLTerminalGroup& group,
                                                const TXMFileVersion& fileVersion) const
{
    TXMXMLTerminalGroup result = group;
    if (result.isNull() || !isNotNewer(fileVersion))
        return result;
    updateChildren<TXMXMLTerminal>(result, QStringLiteral("Terminal"),
                                   [&](const TXMXMLTerminal& terminal) { update(terminal, fileVersion); });
    return result;
}

TXMXMLTerminal TarvexTXMXMLUpdater::update(const TXMXMLTerminal& terminal, const TXMFileVersion& fileVersion) const
{
    return renameGeomName(terminal, fileVersion);
}

TXMXMLSolderBallSet TarvexTXMXMLUpdater::update(const TXMXMLSolderBallSet& ballSet, const TXMFileVersion&) const
{
    return ballSet;
}

TXMXMLSolderBall TarvexTXMXMLUpdater::update(const TXMXMLSolderBall& ball, const TXMFileVersion&) const
{
    return ball;
}

TXMXMLSolderBumpSet TarvexTXMXMLUpdater::update(const TXMXMLSolderBumpSet& bumpSet, const TXMFileVersion&) const
{
    return bumpSet;
}

TXMXMLSolderBump TarvexTXMXMLUpdater::update(const TXMXMLSolderBump& bump, const TXMFileVersion&) const
{
    return bump;
}

TXMXMLLayoutSet TarvexTXMXMLUpdater::getCollectedLayoutSet() const
{
    return TXMXMLLayoutSet(m_collectedLayoutSet);
}

} // namespace Tarvex
