#pragma once

#include <tarvex/host/XMLDOMNode.h>

#include <QList>
#include <QString>

namespace Tarvex {

/// Every child element of `parent` called `name`, in document order, each wrapped in
/// `Wrapper`; empty for a null parent.
template <typename Wrapper>
QList<Wrapper> wrapChildElements(const InterProcess::XMLDOMNode& parent, const QString& name)
{
    QList<Wrapper> children;
    for (const InterProcess::XMLDOMNode& child : parent.getChildElements(name))
        children.append(Wrapper(child));
    return children;
}

/// Calls `visit` with every child element of `parent` called `name`, in document order, each
/// wrapped in `Wrapper`: a walk of the tree, for sets too large to gather in a list first.
template <typename Wrapper, typename Visit>
void forEachChildElement(const InterProcess::XMLDOMNode& parent, const QString& name, const Visit& visit)
{
    for (InterProcess::XMLDOMNode child = parent.getFirstChildElement(name); child;
         child = child.getNextSiblingElement(name))
        visit(Wrapper(child));
}

/// The number of child elements of `parent` called `name`.
inline int countChildElements(const InterProcess::XMLDOMNode& parent, const QString& name)
{
    int count = 0;
    forEachChildElement<InterProcess::XMLDOMNode>(parent, name, [&count](const InterProcess::XMLDOMNode&) { ++count; });
    return count;
}

/// Removes every child element of `parent` called `name` and appends `children` under that
/// name, in list order. The children may be the ones removed: they then move to the end.
template <typename Wrapper>
void replaceChildElements(InterProcess::XMLDOMNode& parent, const QString& name, const QList<Wrapper>& children)
{
    if (parent.isNull())
        return;
    parent.removeChildElements(name);
    for (const Wrapper& child : children)
        parent.appendChildElement(name, child);
}

} // namespace Tarvex
