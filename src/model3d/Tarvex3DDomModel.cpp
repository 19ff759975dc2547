#include <tarvex/model3d/Tarvex3DDomModel.h>

#include <tarvex/model3d/Tarvex3DDomModelReader.h>

namespace Tarvex3D {

namespace {

const QString libraryTag = QStringLiteral("Norvane_Material_Lib");
const QString descriptionsTag = QStringLiteral("DataDescriptions");

/// The description element `name` under `parent`: its first "Column" child and every
/// element after it, whatever its tag, are the columns.
Tarvex3DDataDescription describe(const QDomElement& parent, const QString& name)
{
    Tarvex3DDataDescription description(name);
    for (QDomElement column = parent.firstChildElement(name).firstChildElement(QStringLiteral("Column"));
         !column.isNull(); column = column.nextSiblingElement()) {
        description.addValue({column.attribute(QStringLiteral("name")), column.attribute(QStringLiteral("unit"))});
    }
    return description;
}

} // namespace

Tarvex3DDomModel::Tarvex3DDomModel(const QDomDocument& document)
    : m_document(document), m_project(document.firstChildElement(QStringLiteral("Project")))
{
}

Tarvex3DDomModel Tarvex3DDomModel::fromFile(const QString& path, Tools::ToolProgress* sink)
{
    return Tarvex3DDomModelReader::read(path, sink);
}

Tarvex3DDomModel Tarvex3DDomModel::fromData(QIODevice* device, Tools::ToolProgress* sink)
{
    return Tarvex3DDomModelReader::read(device, sink);
}

QDomElement Tarvex3DDomModel::getLibrary() const
{
    if (!m_project.isNull())
        return m_project.firstChildElement(QStringLiteral("DataDefinitions")).firstChildElement(libraryTag);
    return m_document.firstChildElement(libraryTag);
}

QDomElement Tarvex3DDomModel::getObjects() const
{
    return m_project.firstChildElement(QStringLiteral("Objects"));
}

std::vector<Tarvex3DMaterial> Tarvex3DDomModel::getMaterials() const
{
    std::vector<Tarvex3DMaterial> materials;
    const QString tag = QStringLiteral("Material");
    for (QDomElement material = getLibrary().firstChildElement(tag); !material.isNull();
         material = material.nextSiblingElement(tag))
        materials.emplace_back(material);
    return materials;
}

Tarvex3DDataDescription Tarvex3DDomModel::getDataDescription(const QString& name) const
{
    return describe(getLibrary().firstChildElement(descriptionsTag), name);
}

QList<Tarvex3DDataDescription> Tarvex3DDomModel::getDataDescriptions(const QStringList& names) const
{
    const QDomElement descriptions = getLibrary().firstChildElement(descriptionsTag);
    QList<Tarvex3DDataDescription> result;
    for (const QString& name : names)
        result.append(describe(descriptions, name));
    return result;
}

QList<Tarvex3DDataDescription> Tarvex3DDomModel::getStructuralDataDescriptions(const QStringList& names) const
{
    const QDomElement structural =
        getLibrary().firstChildElement(descriptionsTag).firstChildElement(QStringLiteral("Structural"));
    QList<Tarvex3DDataDescription> result;
    for (const QString& name : names) {
        if (!structural.firstChildElement(name).isNull())
            result.append(describe(structural, name));
    }
    return result;
}

std::unordered_map<std::string, Tarvex3DDomElement> Tarvex3DDomModel::getObjectMap() const
{
    std::unordered_map<std::string, Tarvex3DDomElement> objects;
    // Every child node counts, taken as an element: one that is not an element has no id.
    for (QDomNode node = getObjects().firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QDomElement element = node.toElement();
        objects.emplace(element.attribute(QStringLiteral("id")).toStdString(), Tarvex3DDomElement(element));
    }
    return objects;
}

std::unordered_map<std::string, std::string> Tarvex3DDomModel::getOperationIDMap() const
{
    std::unordered_map<std::string, std::string> operations;
    const QString tag = QStringLiteral("Operation");
    for (QDomElement operation = getObjects().firstChildElement(tag); !operation.isNull();
         operation = operation.nextSiblingElement(tag)) {
        operations.emplace(operation.attribute(QStringLiteral("OpId")).toStdString(),
                           operation.attribute(QStringLiteral("id")).toStdString());
    }
    return operations;
}

Tarvex3DDomElement Tarvex3DDomModel::getStructure() const
{
    return Tarvex3DDomElement(m_project.firstChildElement(QStringLiteral("Structure")));
}

} // namespace Tarvex3D
