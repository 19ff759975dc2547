#pragma once

#include <tarvex/host/XMLDOMDocument.h>
#include <tarvex/interchange/TXMFileVersion.h>
#include <tarvex/interchange/TXMXMLModel.h>

namespace Tarvex {

/// An interchange XML document. A value: copies share the DOM tree; false when null, which
/// is how a failed read shows.
class TarvexTXMXMLDocument : public InterProcess::XMLDOMDocument
{
public:
    /// The null document.
    TarvexTXMXMLDocument() = default;
    /// A document around the Qt `document`.
    explicit TarvexTXMXMLDocument(const QDomDocument& document);
    /// The interchange view of `document`, sharing its tree.
    explicit TarvexTXMXMLDocument(const InterProcess::XMLDOMDocument& document);

    /// The root element when it is named "TARVEX_INTERCHANGE_MODEL", else a null model.
    TXMXMLModel getModel() const;
    /// The "SchemaVersion" of `getModel()`; the empty version when there is no such model.
    TXMFileVersion getSchemaVersion() const;
};

} // namespace Tarvex
