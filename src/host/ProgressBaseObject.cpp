#include <tarvex/host/ProgressBaseObject.h>

namespace Tools {
ToolProgress::~ToolProgress() = default;
}

namespace Log {

ProgressBaseObject::~ProgressBaseObject() = default;

void ProgressBaseObject::post(Tools::ToolProgress::Kind kind, const QString& text) const
{
    if (Tools::ToolProgress* sink = getProgress())
        sink->post(kind, text);
}

void ProgressBaseObject::showMessage(const QString& text) const { post(Tools::ToolProgress::Kind::Message, text); }

void ProgressBaseObject::showInformational(const QString& text) const
{
    post(Tools::ToolProgress::Kind::Informational, text);
}

void ProgressBaseObject::warning(const QString& text) const { post(Tools::ToolProgress::Kind::Warning, text); }

void ProgressBaseObject::fatalError(const QString& text) const { post(Tools::ToolProgress::Kind::FatalError, text); }

} // namespace Log
