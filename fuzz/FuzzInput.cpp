#include "FuzzInput.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <limits>

namespace Fuzz {

FuzzInput::FuzzInput(const uint8_t* data, size_t size)
    : m_usable(size <= size_t(std::numeric_limits<int>::max()))
{
    if (m_usable)
        m_bytes = QByteArray(reinterpret_cast<const char*>(data), int(size));
    m_buffer.setBuffer(&m_bytes);
}

QIODevice* FuzzInput::device()
{
    if (!m_buffer.isOpen() && !m_buffer.open(QIODevice::ReadOnly))
        std::abort();
    m_buffer.seek(0);
    return &m_buffer;
}

QString FuzzInput::writeFile(const QString& name) const
{
    // One folder for the whole run: making and removing one per input would cost more than
    // most reads, and the file is rewritten in place anyway.
    static const QTemporaryDir folder;
    if (!folder.isValid())
        std::abort();
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(m_bytes) != m_bytes.size())
        std::abort();
    return path;
}

} // namespace Fuzz
