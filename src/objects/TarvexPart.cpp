#include <tarvex/objects/TarvexPart.h>

namespace Tarvex {

namespace {

QString withoutLeadingUnderscores(QString text)
{
    int count = 0;
    while (count < text.size() && text.at(count) == QLatin1Char('_'))
        ++count;
    text.remove(0, count);
    return text;
}

} // namespace

TarvexPart::~TarvexPart() = default;

QString displayName(const TarvexPart& part, bool full)
{
    QString name = part.getName(full);
    if (full)
        return name;
    const TarvexPart* parent = part.getParent();
    if (parent == nullptr)
        return name;
    const QString parentName = displayName(*parent, true);
    if (name == parentName)
        return displayName(*parent, false);
    if (name.startsWith(parentName))
        name.remove(0, parentName.size());
    return withoutLeadingUnderscores(name);
}

} // namespace Tarvex
