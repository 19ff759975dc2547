#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

/// The project the solver stand-in works on: opened from an archive, given solids from
/// geometry files, saved as an archive again. Its ids start far above those already in the
/// project, as the real solver's may, so that an export that kept its own ids for the
/// solids instead of reading the solver's is caught.
class StandInProject
{
public:
    /// How far above the project's first free id the stand-in's ids start, and above its
    /// last operation id its operation ids.
    static constexpr quint64 idOffset = 1000;

    /// A project with nothing opened, unpacked into a private temporary folder of the
    /// working folder.
    StandInProject();

    /// Opens the archive at `path`; false with the reason in `problem` when it cannot be
    /// unpacked or holds no project.
    bool open(const QString& path, QString* problem);
    /// Imports the geometry file at `path` (our CAD text format): a data group named after
    /// the file holds one geometry object, with its base-body operation and geometry file,
    /// per body. False with the reason when nothing is open or the file cannot be read.
    bool import(const QString& path, QString* problem);
    /// Saves the project and its files as the archive `path`; false with the reason.
    bool save(const QString& path, QString* problem);

private:
    QDomElement newObject(const QString& tag, const QString& metaid, const QString& name);
    static QDomElement link(QDomElement parent, const QDomElement& object);

    QTemporaryDir m_folder;
    QDomDocument m_document;
    QDomElement m_objects;
    QDomElement m_parts;
    QStringList m_files;
    quint64 m_nextId = 0;
    quint64 m_nextOperation = 0;
};
