#pragma once

#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/host/ToolProgress.h>
#include <tarvex/host/XMLDOMReader.h>
#include <tarvex/model3d/Tarvex3DDomModel.h>

#include <QObject>
#include <QString>

class QIODevice;

namespace Tarvex3D {

/// Reads project and material library files of the 3D solver tool into a
/// `Tarvex3DDomModel`. A document that is not well-formed, or that the DOM parser could not
/// take safely, is reported through the sink as a fatal error and gives a null model.
class Tarvex3DDomModelReader : public QObject, public Log::ProgressBaseObject
{
    Q_OBJECT

public:
    /// Deepest element nesting accepted. The documents are a dozen levels deep; the DOM
    /// parser recurses once per level, so deeper input is refused before parsing.
    static constexpr int maximumElementDepth = InterProcess::XMLDOMReader::maximumElementDepth;

    /// Reads the file at `path`; a null model, without a message, when it cannot be opened.
    static Tarvex3DDomModel read(const QString& path, Tools::ToolProgress* sink);
    /// Reads the whole of the open `device`; a null model after a fatal error through `sink`
    /// (may be null) when the content is not an acceptable XML document.
    static Tarvex3DDomModel read(QIODevice* device, Tools::ToolProgress* sink);

    /// The sink given to `read` (may be null).
    Tools::ToolProgress* getProgress() const override { return m_progress; }

private:
    explicit Tarvex3DDomModelReader(Tools::ToolProgress* sink) : m_progress(sink) {}
    Tarvex3DDomModel readDevice(QIODevice* device) const;
    void reportFailure(const QString& message, int line, int column) const;

    Tools::ToolProgress* m_progress;
};

} // namespace Tarvex3D
