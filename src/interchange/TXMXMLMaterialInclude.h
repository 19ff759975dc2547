#pragma once

#include <tarvex/host/XMLDOMNode.h>

#include <QString>

namespace Tarvex {

/// An "Include" element of the "MaterialSet": an external material library.
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLMaterialInclude : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXMLMaterialInclude() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLMaterialInclude(const InterProcess::XMLDOMNode& element);

    /// "File": the path of the material library file; empty when absent.
    QString getFile() const;
    /// Writes "File".
    void setFile(const QString& value);
};

} // namespace Tarvex
