#pragma once

#include <tarvex/host/XMLDOMNode.h>

#include <QString>

namespace Tarvex {

/// A "Model" element of the "SimplificationOptions": the simplification grid of one part.
/// A value: copies share the element; the null element answers every getter with its default.
class LegacyXMLSimplificationModel : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    LegacyXMLSimplificationModel() = default;
    /// A wrapper around `element` (which may be null).
    explicit LegacyXMLSimplificationModel(const InterProcess::XMLDOMNode& element);

    /// "ObjectName": the part the grid belongs to; empty when absent.
    QString getObjectName() const;
    /// Writes "ObjectName".
    void setObjectName(const QString& value);

    /// "NX": the number of grid cells along x; 1 when absent or not a 32-bit integer.
    qint32 getNX() const;
    /// Writes "NX".
    void setNX(qint32 value);

    /// "NY": the number of grid cells along y; 1 when absent or not a 32-bit integer.
    qint32 getNY() const;
    /// Writes "NY".
    void setNY(qint32 value);
};

} // namespace Tarvex
