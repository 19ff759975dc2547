#include <tarvex/host/BasicVersion.h>

#include <QStringList>

#include <algorithm>
#include <limits>
#include <utility>

namespace FileSystem {

namespace {

// Splits `length` characters (read through `at`) into unsigned components. Anything but
// ASCII digits between separators, or a component beyond 32 bits, rejects the whole text:
// a half-read version would compare as something the file never said.
template <typename CharAt>
BasicVersion parseComponents(int length, CharAt at, char16_t separator)
{
    if (length <= 0)
        return BasicVersion();

    constexpr unsigned long long maxComponent = std::numeric_limits<unsigned>::max();
    std::vector<unsigned> components;
    unsigned long long current = 0;
    bool hasDigit = false;
    for (int i = 0; i <= length; ++i) {
        if (i == length || at(i) == separator) {
            if (!hasDigit)
                return BasicVersion();
            components.push_back(static_cast<unsigned>(current));
            current = 0;
            hasDigit = false;
            continue;
        }
        const char16_t c = at(i);
        if (c < u'0' || c > u'9')
            return BasicVersion();
        current = current * 10 + static_cast<unsigned>(c - u'0');
        if (current > maxComponent)
            return BasicVersion();
        hasDigit = true;
    }
    return BasicVersion(std::move(components));
}

} // namespace

BasicVersion::BasicVersion(unsigned major) : m_components{major} {}

BasicVersion::BasicVersion(unsigned long long major, unsigned minor)
    : m_components{static_cast<unsigned>(std::min<unsigned long long>(major, std::numeric_limits<unsigned>::max())),
                   minor}
{
}

BasicVersion::BasicVersion(std::initializer_list<unsigned> components) : m_components(components) {}

BasicVersion::BasicVersion(std::vector<unsigned> components) : m_components(std::move(components)) {}

BasicVersion BasicVersion::fromString(const std::string& text, char separator)
{
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return BasicVersion();
    return parseComponents(
        static_cast<int>(text.size()),
        [&text](int i) { return static_cast<char16_t>(static_cast<unsigned char>(text[static_cast<std::size_t>(i)])); },
        static_cast<char16_t>(static_cast<unsigned char>(separator)));
}

BasicVersion BasicVersion::fromQString(const QString& text, QChar separator)
{
    return parseComponents(
        text.size(), [&text](int i) { return static_cast<char16_t>(text.at(i).unicode()); },
        static_cast<char16_t>(separator.unicode()));
}

QString BasicVersion::toQString(QChar separator) const
{
    QStringList parts;
    parts.reserve(static_cast<int>(m_components.size()));
    for (unsigned component : m_components)
        parts.append(QString::number(component));
    return parts.join(separator);
}

std::string BasicVersion::toString(char separator) const
{
    std::string text;
    for (std::size_t i = 0; i < m_components.size(); ++i) {
        if (i > 0)
            text += separator;
        text += std::to_string(m_components[i]);
    }
    return text;
}

int BasicVersion::compare(const BasicVersion& other) const
{
    // Missing trailing components count as 0, so 2025.1 and 2025.1.0 are the same version.
    const std::size_t count = std::max(m_components.size(), other.m_components.size());
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned mine = i < m_components.size() ? m_components[i] : 0u;
        const unsigned theirs = i < other.m_components.size() ? other.m_components[i] : 0u;
        if (mine != theirs)
            return mine < theirs ? -1 : 1;
    }
    return 0;
}

} // namespace FileSystem
