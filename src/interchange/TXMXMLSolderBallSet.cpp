#include <tarvex/interchange/TXMXMLSolderBallSet.h>

#include <tarvex/interchange/TXMXMLElementLists.h>

namespace Tarvex {

TXMXMLSolderBallSet::TXMXMLSolderBallSet(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QList<TXMXMLSolderBall> TXMXMLSolderBallSet::getSolderBalls() const { return wrapChildElements<TXMXMLSolderBall>(*this, QStringLiteral("SolderBall")); }

int TXMXMLSolderBallSet::countSolderBalls() const { return countChildElements(*this, QStringLiteral("SolderBall")); }

void TXMXMLSolderBallSet::forEachSolderBall(const std::function<void(const TXMXMLSolderBall&)>& visit) const
{
    forEachChildElement<TXMXMLSolderBall>(*this, QStringLiteral("SolderBall"), visit);
}

void TXMXMLSolderBallSet::setSolderBalls(const QList<TXMXMLSolderBall>& values) { replaceChildElements(*this, QStringLiteral("SolderBall"), values); }

} // namespace Tarvex
