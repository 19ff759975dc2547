#include <tarvex/interchange/TXMFileVersion.h>

namespace Tarvex {

TXMFileVersion::TXMFileVersion(unsigned major) : EntityModel::BasicVersion(major) {}

TXMFileVersion::TXMFileVersion(unsigned long long major, unsigned minor) : EntityModel::BasicVersion(major, minor) {}

TXMFileVersion::TXMFileVersion(const std::initializer_list<unsigned>& components)
    : EntityModel::BasicVersion(components)
{
}

TXMFileVersion::TXMFileVersion(const EntityModel::BasicVersion& other) : EntityModel::BasicVersion(other) {}

TXMFileVersion TXMFileVersion::current() { return TXMFileVersion{2025u, 1u, 0u}; }

TXMFileVersion TXMFileVersion::min() { return TXMFileVersion(2025u); }

TXMFileVersion TXMFileVersion::layeredFormat() { return TXMFileVersion(2025u, 1u); }

bool TXMFileVersion::isCompatible(const TXMFileVersion& version)
{
    // The format stays readable within one major generation: from its first release up to,
    // but not including, the next major number.
    const TXMFileVersion nextMajor(current().getComponents().front() + 1u);
    return !(version < min()) && version < nextMajor;
}

TXMFileVersion TXMFileVersion::fromString(const std::string& text, char separator)
{
    return TXMFileVersion(EntityModel::BasicVersion(FileSystem::BasicVersion::fromString(text, separator)));
}

TXMFileVersion TXMFileVersion::fromQString(const QString& text, QChar separator)
{
    return TXMFileVersion(EntityModel::BasicVersion(FileSystem::BasicVersion::fromQString(text, separator)));
}

} // namespace Tarvex
