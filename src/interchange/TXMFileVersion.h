#pragma once

#include <tarvex/host/BasicVersion.h>

#include <QChar>
#include <QString>

#include <initializer_list>
#include <string>

namespace Tarvex {

/// Format version of an interchange file, XML or JSON ("SchemaVersion", "Version").
/// Ordered like every host version: 2025.1 equals 2025.1.0 and the empty version is below
/// every real one.
class TXMFileVersion : public EntityModel::BasicVersion
{
public:
    /// The empty version (no components).
    TXMFileVersion() = default;
    /// A one-component version.
    explicit TXMFileVersion(unsigned major);
    /// A two-component version.
    TXMFileVersion(unsigned long long major, unsigned minor);
    /// The listed components, most significant first.
    TXMFileVersion(const std::initializer_list<unsigned>& components);
    /// The same components as `other`.
    TXMFileVersion(const EntityModel::BasicVersion& other); // NOLINT: value conversion

    /// The version this build writes and reads natively: 2025.1.0.
    static TXMFileVersion current();
    /// The oldest version of the current format generation: 2025.
    static TXMFileVersion min();
    /// The version that divides the two layouts of the geometry, 2025.1: older files merge
    /// Geoms into layers, make a basic part of a lone Geom and carry compact-model suffixes
    /// in object names; newer files (above it) nest every part into one tree by containment.
    static TXMFileVersion layeredFormat();
    /// True when `version` is not below `min()` and below the next major version (2026).
    static bool isCompatible(const TXMFileVersion& version);

    /// Parses components separated by `separator`; unreadable text gives the empty version.
    static TXMFileVersion fromString(const std::string& text, char separator = '.');
    /// QString form of `fromString`.
    static TXMFileVersion fromQString(const QString& text, QChar separator = QLatin1Char('.'));
};

} // namespace Tarvex
