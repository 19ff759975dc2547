#pragma once

#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/interchange/TXMFileVersion.h>
#include <tarvex/objects/TarvexCompositeGeometryObject.h>
#include <tarvex/objects/TarvexObject.h>

#include <QList>
#include <QObject>

#include <memory>
#include <vector>

class QDir;

namespace Tarvex {

class TarvexPartFactory;
class TXMXMLGeom;
class TXMXMLModel;

/// Turns one interchange XML file into the object model: parts with their geometry,
/// materials and power sources (all in SI units), nested by containment into a tree of
/// `TarvexObject` nodes.
class TarvexObjectBuilder : public QObject, public Log::ProgressBaseObject
{
    Q_OBJECT

public:
    /// A builder reporting to `progress` (may be null).
    explicit TarvexObjectBuilder(Tools::ToolProgress* progress, QObject* parent = nullptr);
    ~TarvexObjectBuilder() override;

    /// Reads the file at `path` and builds its parts, materials and power sources; false
    /// after reporting "Failed to read file : " and the path when the file cannot be read.
    /// Outlines whose nodes do not lie in one plane throw `std::runtime_error` ("Z
    /// variation") after a fatal error that names their object.
    bool readFile(const QString& path);
    /// Nests the parts read into the object tree. Parts that nothing contains become
    /// top-level objects.
    void buildTree();
    /// Moves the top-level objects out to the caller.
    std::vector<std::unique_ptr<TarvexObject>> takeObjects();

    Tools::ToolProgress* getProgress() const override { return progress; }

private:
    void build(const TXMXMLModel& model, const QDir& directory);
    std::unique_ptr<TarvexPart> buildPart(const TarvexPartFactory& factory, const QList<TXMXMLGeom>& group,
                                          const QString& name);
    void advanceProgress();

    Tools::ToolProgress* progress;
    std::vector<std::unique_ptr<TarvexObject>> objects;
    std::vector<std::unique_ptr<TarvexCompositeGeometryObject>> packages;
    std::vector<std::unique_ptr<TarvexPart>> parts;
    TXMFileVersion version;
    quint64 step = 0;
};

} // namespace Tarvex
