#pragma once

#include <tarvex/host/XMLDOMNode.h>
#include <tarvex/interchange/LegacyXMLSimplificationModel.h>

#include <QList>
#include <QString>

namespace Tarvex {

/// The "SimplificationOptions" element of older files: how coarsely each layered part is
/// gridded.
/// A value: copies share the element; the null element answers every getter with its default.
class LegacyXMLSimplificationOptions : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    LegacyXMLSimplificationOptions() = default;
    /// A wrapper around `element` (which may be null).
    explicit LegacyXMLSimplificationOptions(const InterProcess::XMLDOMNode& element);

    /// Every "Model" child, in document order.
    QList<LegacyXMLSimplificationModel> getModels() const;
    /// Replaces every "Model" child by `values`, in list order.
    void setModels(const QList<LegacyXMLSimplificationModel>& values);
};

} // namespace Tarvex
