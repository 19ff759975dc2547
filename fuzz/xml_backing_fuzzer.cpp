// Feeds arbitrary bytes to the XML reader on pugixml's tree and on Qt's DOM: both must
// take or refuse the same inputs, refusals with the same message and place, and what they
// take must read and write the same, element for element.
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include <tarvex/host/XMLDOMReader.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using InterProcess::XMLDOMBacking;
using InterProcess::XMLDOMNode;
using InterProcess::XMLDOMReader;

QString describe(const XMLDOMNode& node)
{
    QString text = node.getTagName() + QLatin1Char('[');
    for (const QString& name : node.getAttributeNames())
        text += name + QLatin1Char('=') + node.getAttribute(name) + QLatin1Char(';');
    text += QStringLiteral("]{") + node.getText() + QLatin1Char('}');
    for (const XMLDOMNode& child : node.getChildElements())
        text += QLatin1Char('(') + describe(child) + QLatin1Char(')');
    return text;
}

} // namespace

int fuzzOne(const uint8_t* data, size_t size)
{
    Fuzz::FuzzInput input(data, size);
    if (!input.isUsable())
        return 0;
    XMLDOMReader::Failure qtFailure;
    XMLDOMReader::Failure pugixmlFailure;
    const InterProcess::XMLDOMDocument qt = XMLDOMReader::parseDocument(input.bytes(), &qtFailure, XMLDOMBacking::Qt);
    const InterProcess::XMLDOMDocument pugixml =
        XMLDOMReader::parseDocument(input.bytes(), &pugixmlFailure, XMLDOMBacking::Pugixml);
    if (qt.isNull() != pugixml.isNull())
        std::abort();
    if (qt.isNull()) {
        if (qtFailure.message != pugixmlFailure.message || qtFailure.line != pugixmlFailure.line ||
            qtFailure.column != pugixmlFailure.column)
            std::abort();
        return 0;
    }
    if (describe(qt.getRootElement()) != describe(pugixml.getRootElement()) || qt.toByteArray() != pugixml.toByteArray())
        std::abort();
    return 0;
}
