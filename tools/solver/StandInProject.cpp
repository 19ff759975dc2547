#include "StandInProject.h"

#include <tarvex/host/CADModel.h>
#include <tarvex/host/ZipArchiveWriter.h>
#include <tarvex/host/ZipExtractor.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString dataGroupMeta = QStringLiteral("82102418-0843-4B2E-A7F5-FD6DF07D0B44");
const QString geomMeta = QStringLiteral("BC1329BE-CBC8-4B24-B034-EEB1A5778C78");
const QString baseBodyMeta = QStringLiteral("DC56F8F7-4FC6-4A13-A9D8-CA15EA1B2C63");
const QString projectFile = QStringLiteral("Project.xml");

// The last operation id of the project (99 when it has none), after the last blank of "OpId".
quint64 lastOperation(const QDomElement& objects)
{
    const QString opId = objects.lastChildElement(QStringLiteral("Operation")).attribute(QStringLiteral("OpId"), QStringLiteral("1 99"));
    return opId.mid(opId.lastIndexOf(QLatin1Char(' ')) + 1).toULongLong();
}

} // namespace

// In the working folder, which the export removes whatever becomes of the solver.
StandInProject::StandInProject() : m_folder(QDir::current().filePath(QStringLiteral(".tarvex3d-standin-XXXXXX"))) {}

bool StandInProject::open(const QString& path, QString* problem)
{
    FileSystem::ZipExtractor extractor;
    if (!m_folder.isValid() || !extractor.extract(path, m_folder.path())) {
        *problem = QStringLiteral("cannot open %1: %2").arg(path, extractor.errorString());
        return false;
    }
    QFile project(m_folder.filePath(projectFile));
    if (!project.open(QIODevice::ReadOnly) || !m_document.setContent(&project)) {
        *problem = QStringLiteral("%1 holds no readable %2").arg(path, projectFile);
        return false;
    }
    const QDomElement root = m_document.documentElement();
    m_objects = root.firstChildElement(QStringLiteral("Objects"));
    for (QDomElement group = root.firstChildElement(QStringLiteral("Structure")).firstChildElement(QStringLiteral("DataGroup"));
         !group.isNull(); group = group.nextSiblingElement(QStringLiteral("DataGroup"))) {
        if (group.attribute(QStringLiteral("Name")) == QLatin1String("Parts"))
            m_parts = group;
    }
    if (m_objects.isNull() || m_parts.isNull()) {
        *problem = QStringLiteral("%1 has no objects or no parts group").arg(path);
        return false;
    }
    m_nextId = root.firstChildElement(QStringLiteral("IdSeed")).attribute(QStringLiteral("Value")).toULongLong() + idOffset;
    m_nextOperation = lastOperation(m_objects) + 1 + idOffset;
    m_files.clear();
    for (const QString& file : extractor.extractedFiles()) {
        if (file != projectFile)
            m_files << m_folder.filePath(file);
    }
    return true;
}

bool StandInProject::import(const QString& path, QString* problem)
{
    if (m_document.isNull()) {
        *problem = QStringLiteral("no project is open");
        return false;
    }
    const std::optional<CADinterface::CADModel> model = CADinterface::CADModel::readFile(path, problem);
    if (!model)
        return false;
    const QString base = QFileInfo(path).completeBaseName();
    QDomElement group = newObject(QStringLiteral("DataGroup"), dataGroupMeta, base);
    group.setAttribute(QStringLiteral("Customized"), QStringLiteral("0"));
    const QDomElement groupLink = link(m_parts, group);
    const std::vector<CADinterface::CADBody>& bodies = model->getBodies();
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        const QString name = bodies.size() == 1 ? base : QStringLiteral("%1_%2").arg(base).arg(i + 1);
        const QString file = name + QStringLiteral(".geom");
        if (!CADinterface::CADModel({bodies[i]}).writeFile(m_folder.filePath(file), problem))
            return false;
        m_files << m_folder.filePath(file);
        QDomElement geom = newObject(QStringLiteral("GeomObject"), geomMeta, name);
        geom.setAttribute(QStringLiteral("ObjectName"), name);
        geom.setAttribute(QStringLiteral("ObjectFileName"), file);
        geom.setAttribute(QStringLiteral("Model"), QStringLiteral("1"));
        geom.setAttribute(QStringLiteral("UCS"), QStringLiteral("WorldCS"));
        geom.setAttribute(QStringLiteral("Material"), QStringLiteral("None"));
        QDomElement operation = newObject(QStringLiteral("Operation"), baseBodyMeta, QStringLiteral("BaseBody"));
        operation.setAttribute(QStringLiteral("OpId"), QStringLiteral("1 %1").arg(m_nextOperation++));
        operation.setAttribute(QStringLiteral("StartDS"), QStringLiteral("2"));
        operation.setAttribute(QStringLiteral("EndDS"), QStringLiteral("3"));
        link(link(groupLink, geom), operation);
    }
    return true;
}

bool StandInProject::save(const QString& path, QString* problem)
{
    if (m_document.isNull()) {
        *problem = QStringLiteral("no project is open");
        return false;
    }
    m_document.documentElement().firstChildElement(QStringLiteral("IdSeed")).setAttribute(QStringLiteral("Value"), m_nextId);
    QSaveFile project(m_folder.filePath(projectFile));
    const QByteArray text = m_document.toByteArray(2);
    if (!project.open(QIODevice::WriteOnly) || project.write(text) != text.size() || !project.commit()) {
        *problem = QStringLiteral("cannot write %1: %2").arg(projectFile, project.errorString());
        return false;
    }
    return FileSystem::ZipArchiveWriter::write(path, QStringList(m_folder.filePath(projectFile)) + m_files, problem);
}

QDomElement StandInProject::newObject(const QString& tag, const QString& metaid, const QString& name)
{
    QDomElement object = m_document.createElement(tag);
    object.setAttribute(QStringLiteral("id"), m_nextId++);
    object.setAttribute(QStringLiteral("metaid"), metaid);
    object.setAttribute(QStringLiteral("Name"), name);
    object.setAttribute(QStringLiteral("states"), QStringLiteral("1"));
    m_objects.appendChild(object);
    return object;
}

QDomElement StandInProject::link(QDomElement parent, const QDomElement& object)
{
    QDomElement entry = parent.ownerDocument().createElement(QStringLiteral("Object"));
    entry.setAttribute(QStringLiteral("id"), object.attribute(QStringLiteral("id")));
    parent.appendChild(entry);
    return entry;
}
