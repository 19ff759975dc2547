#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

class QIODevice;

namespace FileSystem {

/// The host's CSV reader: streams a table field by field to a handler, so that a large
/// table is never held as text. Quoted fields (with doubled quotes, separators and line
/// breaks inside), LF and CRLF line ends and a leading UTF-8 byte order mark are handled;
/// blanks around unquoted fields are dropped and empty lines are skipped. The separator is
/// given, or detected from the first line: the most frequent of comma, semicolon and TAB
/// outside quotes, comma when there is none.
class CSVParser
{
public:
    /// Receives the table while it is read.
    class Handler
    {
    public:
        virtual ~Handler();
        /// One field: `size` bytes at `text`, followed by a zero byte. False stops the read.
        virtual bool field(const char* text, size_t size) = 0;
        /// The end of a row. False stops the read.
        virtual bool endRow() = 0;
    };

    /// A parser using `separator`, or detecting it when `separator` is the zero character.
    explicit CSVParser(char separator = '\0');

    /// Reads the file at `path`. True when the whole file was read; false when it cannot be
    /// opened or is not a regular file, when its quoting is malformed (see `getError`), or
    /// when the handler stopped the read (`getError` is then empty).
    bool parseFile(const QString& path, Handler& handler);
    /// Reads `bytes` as the content of a file.
    bool parse(const QByteArray& bytes, Handler& handler);

    /// The separator used by the last read (or the one given).
    char getSeparator() const { return m_separator; }
    /// The one-based line the last field or row end was read on.
    qint64 getLine() const { return m_line; }
    /// Why the last read failed; empty after a success or a stop by the handler.
    const QString& getError() const { return m_error; }

    /// The separator detected from the first line of `data`.
    static char detectSeparator(const char* data, size_t size);

private:
    class Run;
    bool read(QIODevice& device, Handler& handler);

    char m_givenSeparator;
    char m_separator;
    qint64 m_line = 0;
    QString m_error;
};

} // namespace FileSystem
