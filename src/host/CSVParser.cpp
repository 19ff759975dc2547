#include <tarvex/host/CSVParser.h>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <csv.h>

#include <cstring>

namespace FileSystem {

namespace {

constexpr qint64 chunkSize = 1 << 20;

// With TAB as the separator only spaces may be dropped around fields.
int isSpaceOnly(unsigned char c) { return c == CSV_SPACE; }

} // namespace

CSVParser::Handler::~Handler() = default;

// One read: the libcsv state and the callbacks it calls.
class CSVParser::Run
{
public:
    Run(CSVParser& parser, Handler& handler) : m_parser(parser), m_handler(handler)
    {
        m_ok = csv_init(&m_csv, CSV_STRICT | CSV_STRICT_FINI | CSV_APPEND_NULL) == 0;
    }
    ~Run() { csv_free(&m_csv); }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    void start(char separator)
    {
        csv_set_delim(&m_csv, static_cast<unsigned char>(separator));
        // libcsv's own blank test (space and tab) needs no callback per byte; a tab-separated
        // file must not count its separator as a blank.
        csv_set_space_func(&m_csv, separator == '\t' ? isSpaceOnly : nullptr);
    }

    // Feeds `size` bytes line by line, so that the line count stays exact. False once the
    // read is over (an error or a stop).
    bool feed(const char* data, size_t size)
    {
        while (size > 0 && !m_stopped) {
            const char* newline = static_cast<const char*>(std::memchr(data, '\n', size));
            const size_t length = newline ? size_t(newline - data) + 1 : size;
            if (csv_parse(&m_csv, data, length, onField, onRow, this) != length) {
                fail();
                return false;
            }
            if (newline)
                ++m_parser.m_line;
            data += length;
            size -= length;
        }
        return !m_stopped;
    }

    bool finish()
    {
        if (m_stopped)
            return false;
        if (csv_fini(&m_csv, onField, onRow, this) != 0) {
            fail();
            return false;
        }
        return !m_stopped;
    }

    bool isReady() const { return m_ok; }

private:
    static void onField(void* text, size_t size, void* data)
    {
        auto* run = static_cast<Run*>(data);
        if (!run->m_stopped)
            run->m_stopped = !run->m_handler.field(text ? static_cast<const char*>(text) : "", text ? size : 0);
    }
    static void onRow(int, void* data)
    {
        auto* run = static_cast<Run*>(data);
        if (!run->m_stopped)
            run->m_stopped = !run->m_handler.endRow();
    }
    void fail()
    {
        m_parser.m_error = csv_error(&m_csv) == CSV_EPARSE
                               ? QStringLiteral("malformed quoted field on line %1").arg(m_parser.m_line)
                               : QString::fromUtf8(csv_strerror(csv_error(&m_csv)));
        m_stopped = true;
    }

    CSVParser& m_parser;
    Handler& m_handler;
    csv_parser m_csv{};
    bool m_ok = false;
    bool m_stopped = false;
};

CSVParser::CSVParser(char separator) : m_givenSeparator(separator), m_separator(separator == '\0' ? ',' : separator)
{
}

char CSVParser::detectSeparator(const char* data, size_t size)
{
    int commas = 0;
    int semicolons = 0;
    int tabs = 0;
    bool quoted = false;
    for (size_t i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == '\n' || c == '\r')
            break;
        else if (c == ',')
            ++commas;
        else if (c == ';')
            ++semicolons;
        else if (c == '\t')
            ++tabs;
    }
    if (semicolons > commas && semicolons >= tabs)
        return ';';
    if (tabs > commas && tabs > semicolons)
        return '\t';
    return ',';
}

bool CSVParser::parseFile(const QString& path, Handler& handler)
{
    m_error.clear();
    m_line = 0;
    // Folders and devices are not tables; some devices never end.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("cannot open %1").arg(path);
        return false;
    }
    return read(file, handler);
}

bool CSVParser::parse(const QByteArray& bytes, Handler& handler)
{
    m_error.clear();
    m_line = 0;
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return read(buffer, handler);
}

bool CSVParser::read(QIODevice& device, Handler& handler)
{
    Run run(*this, handler);
    if (!run.isReady()) {
        m_error = QStringLiteral("out of memory");
        return false;
    }
    m_line = 1;
    QByteArray chunk;
    bool first = true;
    while (true) {
        chunk = device.read(chunkSize);
        if (chunk.isEmpty())
            break;
        const char* data = chunk.constData();
        size_t size = size_t(chunk.size());
        if (first) {
            first = false;
            if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) {
                data += 3;
                size -= 3;
            }
            m_separator = m_givenSeparator != '\0' ? m_givenSeparator : detectSeparator(data, size);
            run.start(m_separator);
        }
        if (!run.feed(data, size))
            return false;
    }
    if (first)
        run.start(m_separator);
    return run.finish();
}

} // namespace FileSystem
