#pragma once

#include <QChar>
#include <QString>

#include <initializer_list>
#include <string>
#include <vector>

namespace FileSystem {

/// A version as an ordered list of unsigned components ("2025.1.0"). Versions compare
/// component by component, a missing component counting as 0, so 2025.1 equals 2025.1.0;
/// the empty version equals 0 and so orders below every real version.
class BasicVersion
{
public:
    /// The empty version (no components).
    BasicVersion() = default;
    /// One component.
    explicit BasicVersion(unsigned major);
    /// Two components; a `major` beyond 32 bits is clamped to the largest component.
    BasicVersion(unsigned long long major, unsigned minor);
    /// The listed components.
    BasicVersion(std::initializer_list<unsigned> components);
    /// The given components.
    explicit BasicVersion(std::vector<unsigned> components);

    /// The components, most significant first.
    const std::vector<unsigned>& getComponents() const { return m_components; }
    /// True when there is no component.
    bool isEmpty() const { return m_components.empty(); }

    /// Parses components separated by `separator`; text that is not such a list (empty
    /// parts, signs, letters, values beyond 32 bits) gives the empty version.
    static BasicVersion fromString(const std::string& text, char separator = '.');
    /// QString form of `fromString`.
    static BasicVersion fromQString(const QString& text, QChar separator = QLatin1Char('.'));
    /// The components joined by `separator` (empty text for the empty version).
    QString toQString(QChar separator = QLatin1Char('.')) const;
    /// std::string form of `toQString`.
    std::string toString(char separator = '.') const;

    bool operator<(const BasicVersion& other) const { return compare(other) < 0; }
    bool operator>(const BasicVersion& other) const { return compare(other) > 0; }
    bool operator<=(const BasicVersion& other) const { return compare(other) <= 0; }
    bool operator>=(const BasicVersion& other) const { return compare(other) >= 0; }
    bool operator==(const BasicVersion& other) const { return compare(other) == 0; }
    bool operator!=(const BasicVersion& other) const { return compare(other) != 0; }

private:
    int compare(const BasicVersion& other) const;
    std::vector<unsigned> m_components;
};

} // namespace FileSystem

namespace EntityModel {

/// The host model's version value; the same ordering as the file-system version.
class BasicVersion : public FileSystem::BasicVersion
{
public:
    using FileSystem::BasicVersion::BasicVersion;
    /// Conversion from the file-system version.
    BasicVersion(const FileSystem::BasicVersion& other) : FileSystem::BasicVersion(other) {} // NOLINT
};

} // namespace EntityModel
