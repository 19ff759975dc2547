#pragma once

#include "host/XMLDOMNode.h"
#include "interchange/TXMFileVersion.h"

#include <QDomElement>

namespace Tarvex {

/// The root element "TARVEX_INTERCHANGE_MODEL" of an interchange XML document. A value:
/// copies share the element, and a null model answers every getter with its default.
class TXMXMLModel : public InterProcess::XMLDOMNode
{
public:
    /// The null model.
    TXMXMLModel() = default;
    /// A model around `element` (which may be null).
    explicit TXMXMLModel(const QDomElement& element);

    /// The format version written in "SchemaVersion"; the empty version when it is absent.
    TXMFileVersion getSchemaVersion() const;
    /// Writes "SchemaVersion" as the components joined by ".".
    void setSchemaVersion(const TXMFileVersion& version);
};

} // namespace Tarvex
