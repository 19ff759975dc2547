#include <tarvex/model3d/Tarvex3DDomModelReader.h>

#include <tarvex/host/XMLDOMReader.h>

#include <QDomDocument>
#include <QFile>
#include <QIODevice>

namespace Tarvex3D {

Tarvex3DDomModel Tarvex3DDomModelReader::read(const QString& path, Tools::ToolProgress* sink)
{
    if (path.isEmpty())
        return Tarvex3DDomModel();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Tarvex3DDomModel();
    return read(&file, sink);
}

Tarvex3DDomModel Tarvex3DDomModelReader::read(QIODevice* device, Tools::ToolProgress* sink)
{
    return Tarvex3DDomModelReader(sink).readDevice(device);
}

Tarvex3DDomModel Tarvex3DDomModelReader::readDevice(QIODevice* device) const
{
    if (!device || !device->isOpen() || !device->isReadable())
        return Tarvex3DDomModel();

    InterProcess::XMLDOMReader::Failure failure;
    const QDomDocument document = InterProcess::XMLDOMReader::read(device, &failure);
    if (document.isNull()) {
        if (failure.line > 0)
            reportFailure(failure.message, failure.line, failure.column);
        else
            fatalError(tr("Failed to Read : %2").arg(failure.message));
        return Tarvex3DDomModel();
    }
    return Tarvex3DDomModel(document);
}

void Tarvex3DDomModelReader::reportFailure(const QString& message, int line, int column) const
{
    // All three values in one pass, so that a "%" in the parser's text stays text.
    fatalError(tr("Failed to Read : %2\nLine %3, Column %4").arg(message, QString::number(line), QString::number(column)));
}

} // namespace Tarvex3D
