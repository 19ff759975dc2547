#pragma once

#include <tarvex/host/XMLDOMNode.h>
#include <tarvex/interchange/TXMXMLGeom.h>

#include <QList>
#include <QString>

namespace Tarvex {

/// The "GEOMSet" element: every footprint of the file.
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLGeomSet : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXMLGeomSet() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLGeomSet(const InterProcess::XMLDOMNode& element);

    /// Every "Geom" child, in document order.
    QList<TXMXMLGeom> getGeoms() const;
    /// Replaces every "Geom" child by `values`, in list order.
    void setGeoms(const QList<TXMXMLGeom>& values);
};

} // namespace Tarvex
