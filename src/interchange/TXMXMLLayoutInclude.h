#pragma once

#include <tarvex/host/XMLDOMNode.h>

#include <QString>

namespace Tarvex {

/// An "Include" element of the "LayoutSet": the metal layout of one footprint.
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLLayoutInclude : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXMLLayoutInclude() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLLayoutInclude(const InterProcess::XMLDOMNode& element);

    /// "File": the path of the layout file; empty when absent.
    QString getFile() const;
    /// Writes "File".
    void setFile(const QString& value);

    /// "MetalMat": the name of the metal material; empty when absent.
    QString getMetalMat() const;
    /// Writes "MetalMat".
    void setMetalMat(const QString& value);

    /// "DielectricMat": the name of the dielectric material; empty when absent.
    QString getDielectricMat() const;
    /// Writes "DielectricMat".
    void setDielectricMat(const QString& value);

    /// "ObjectName": the "Name" of the footprint the layout belongs to; empty when absent.
    QString getObjectName() const;
    /// Writes "ObjectName".
    void setObjectName(const QString& value);
};

} // namespace Tarvex
