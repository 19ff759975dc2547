#include <tarvex/objectbuild/TarvexFileProblem.h>

namespace Tarvex {

QString TarvexFileProblem::kindName(Kind kind)
{
    switch (kind) {
    case Kind::MissingFile:
        return QStringLiteral("missing-file");
    case Kind::UnreadableFile:
        return QStringLiteral("unreadable-file");
    case Kind::UnknownUnit:
        return QStringLiteral("unknown-unit");
    case Kind::MissingMaterial:
        return QStringLiteral("missing-material");
    case Kind::MissingPart:
        return QStringLiteral("missing-part");
    case Kind::UncontainedPart:
        return QStringLiteral("uncontained-part");
    case Kind::OverlappingBalls:
        return QStringLiteral("overlapping-balls");
    case Kind::DuplicateName:
        return QStringLiteral("duplicate-name");
    case Kind::InvalidValue:
        return QStringLiteral("invalid-value");
    case Kind::Other:
        break;
    }
    return QStringLiteral("other");
}

bool operator==(const TarvexFileProblem& a, const TarvexFileProblem& b)
{
    return a.kind == b.kind && a.file == b.file && a.subject == b.subject && a.message == b.message;
}

} // namespace Tarvex
