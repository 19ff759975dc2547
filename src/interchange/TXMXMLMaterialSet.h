#pragma once

#include <tarvex/host/XMLDOMNode.h>
#include <tarvex/interchange/TXMXMLMaterial.h>
#include <tarvex/interchange/TXMXMLMaterialInclude.h>

#include <QList>
#include <QString>

namespace Tarvex {

/// The "MaterialSet" element: the materials of the file and the material libraries it includes.
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLMaterialSet : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXMLMaterialSet() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLMaterialSet(const InterProcess::XMLDOMNode& element);

    /// Every "Material" child, in document order.
    QList<TXMXMLMaterial> getMaterials() const;
    /// Replaces every "Material" child by `values`, in list order.
    void setMaterials(const QList<TXMXMLMaterial>& values);

    /// Every "Include" child: external material libraries, in document order.
    QList<TXMXMLMaterialInclude> getIncludes() const;
    /// Replaces every "Include" child by `values`, in list order.
    void setIncludes(const QList<TXMXMLMaterialInclude>& values);
};

} // namespace Tarvex
