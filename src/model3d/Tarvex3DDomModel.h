#pragma once

#include <tarvex/host/ToolProgress.h>
#include <tarvex/model3d/Tarvex3DDataDescription.h>
#include <tarvex/model3d/Tarvex3DDomElement.h>
#include <tarvex/model3d/Tarvex3DMaterial.h>

#include <QDomDocument>
#include <QList>
#include <QStringList>

#include <string>
#include <unordered_map>
#include <vector>

class QIODevice;

namespace Tarvex3D {

/// A parsed document of the 3D solver tool: a project file (top element "Project") or a
/// material library file (top element "Norvane_Material_Lib"). Copies share the document.
class Tarvex3DDomModel
{
public:
    /// The null model.
    Tarvex3DDomModel() = default;
    /// A model around an already parsed document.
    explicit Tarvex3DDomModel(const QDomDocument& document);

    /// Reads the file at `path`; null when it cannot be opened (no message) or is not
    /// well-formed (a fatal error through `sink`, which may be null).
    static Tarvex3DDomModel fromFile(const QString& path, Tools::ToolProgress* sink);
    /// Reads the whole of the open `device`, as `fromFile`.
    static Tarvex3DDomModel fromData(QIODevice* device, Tools::ToolProgress* sink);

    /// True when the document has a "Project" element.
    explicit operator bool() const { return !m_project.isNull(); }
    /// True when there is no document (the read failed).
    bool isNull() const { return m_document.isNull(); }
    /// The document (null for a model that was not read).
    const QDomDocument& getDocument() const { return m_document; }
    /// The "Project" element (null for a material library file).
    const QDomElement& getProjectElement() const { return m_project; }

    /// One material per "Material" element of the library, in document order; curves are
    /// not parsed yet.
    std::vector<Tarvex3DMaterial> getMaterials() const;
    /// The data description `name` of the library: always called `name`, without columns
    /// when the library or the description is missing.
    Tarvex3DDataDescription getDataDescription(const QString& name) const;
    /// One description per name, in order, as `getDataDescription`.
    QList<Tarvex3DDataDescription> getDataDescriptions(const QStringList& names) const;
    /// The structural descriptions among `names` that the library has, in the order of
    /// `names`.
    QList<Tarvex3DDataDescription> getStructuralDataDescriptions(const QStringList& names) const;

    /// The project's objects ("Project"/"Objects" children) by their "id"; the first one
    /// wins for a repeated id.
    std::unordered_map<std::string, Tarvex3DDomElement> getObjectMap() const;
    /// "OpId" to "id" of the project's "Operation" objects; the first one wins for a
    /// repeated "OpId".
    std::unordered_map<std::string, std::string> getOperationIDMap() const;
    /// The project's "Structure" element (null when absent or for a library file).
    Tarvex3DDomElement getStructure() const;

private:
    QDomElement getLibrary() const;
    QDomElement getObjects() const;

    QDomDocument m_document;
    QDomElement m_project;
};

} // namespace Tarvex3D
