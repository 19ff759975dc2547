#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace Fuzz {

/// One input of a fuzz target, handed to the reader under test in the form that reader takes:
/// as bytes, as an open device, or as a file. Every target starts from one of these, so that
/// the fuzzer and the replay of the corpus feed the readers the same way.
class FuzzInput
{
public:
    /// Copies `size` bytes at `data`; like an array read from a file, the copy ends in a zero
    /// byte. An input too large for one array is kept empty and marked unusable.
    FuzzInput(const uint8_t* data, size_t size);
    FuzzInput(const FuzzInput&) = delete;
    FuzzInput& operator=(const FuzzInput&) = delete;

    /// False when the input did not fit in one array; the target then skips it.
    bool isUsable() const { return m_usable; }
    /// The bytes of the input.
    const QByteArray& bytes() const { return m_bytes; }
    /// A read-only device over the bytes, open at their start, living as long as this input.
    QIODevice* device();
    /// Writes the bytes to the file `name` in a folder that belongs to this process and
    /// returns its path. Readers that look for other files beside it find nothing but what
    /// earlier inputs wrote there. Aborts when the file cannot be written: a fuzzer that
    /// silently skips every input would find nothing.
    QString writeFile(const QString& name) const;

private:
    QByteArray m_bytes;
    QBuffer m_buffer;
    bool m_usable;
};

} // namespace Fuzz
