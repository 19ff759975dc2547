#include <tarvex/interchange/TXMXMLSolderBumpSet.h>

#include <tarvex/interchange/TXMXMLElementLists.h>

namespace Tarvex {

TXMXMLSolderBumpSet::TXMXMLSolderBumpSet(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QList<TXMXMLSolderBump> TXMXMLSolderBumpSet::getSolderBumps() const { return wrapChildElements<TXMXMLSolderBump>(*this, QStringLiteral("SolderBump")); }

int TXMXMLSolderBumpSet::countSolderBumps() const { return countChildElements(*this, QStringLiteral("SolderBump")); }

void TXMXMLSolderBumpSet::forEachSolderBump(const std::function<void(const TXMXMLSolderBump&)>& visit) const
{
    forEachChildElement<TXMXMLSolderBump>(*this, QStringLiteral("SolderBump"), visit);
}

void TXMXMLSolderBumpSet::setSolderBumps(const QList<TXMXMLSolderBump>& values) { replaceChildElements(*this, QStringLiteral("SolderBump"), values); }

} // namespace Tarvex
