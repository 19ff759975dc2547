#include <tarvex/host/CADModel.h>

#include <QFile>
#include <QLocale>
#include <QSaveFile>

#include <cmath>

namespace CADinterface {

using Geometry::Vec2;
using Geometry::Vec3;

namespace {

const QByteArray header = QByteArrayLiteral("tarvex-cad 1");

QByteArray number(double value)
{
    // The shortest text that reads back as the same double; Qt drops the sign of -0.
    if (value == 0.0 && std::signbit(value))
        return QByteArrayLiteral("-0");
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

QByteArray vector(const Vec3& v) { return number(v.x) + ' ' + number(v.y) + ' ' + number(v.z); }

/// Reads the meaningful lines of a text one at a time, keeping the line number for messages.
class LineReader
{
public:
    explicit LineReader(const QByteArray& text) : m_text(text) {}

    /// The words of the next line that is neither blank nor a comment; false at the end.
    bool next(QList<QByteArray>& words)
    {
        while (m_at < m_text.size()) {
            int end = m_text.indexOf('\n', m_at);
            if (end < 0)
                end = m_text.size();
            const QByteArray line = m_text.mid(m_at, end - m_at).simplified();
            m_at = end + 1;
            ++m_line;
            if (!line.isEmpty() && !line.startsWith('#')) {
                words = line.split(' ');
                return true;
            }
        }
        return false;
    }
    int line() const { return m_line; }

private:
    const QByteArray& m_text;
    int m_at = 0;
    int m_line = 0;
};

/// The body parser: each step takes the next line, which must be the expected keyword with
/// its numbers; the first fault is kept with its line.
class BodyParser
{
public:
    BodyParser(LineReader& lines, QString* problem) : m_lines(lines), m_problem(problem) {}

    /// The numbers of a line "keyword n1 n2 ..." (with keywords between the numbers where
    /// `keywords` has them at odd positions); false after recording why not.
    bool expect(const QList<QByteArray>& keywords, int count, std::vector<double>& numbers)
    {
        QList<QByteArray> words;
        if (!m_lines.next(words))
            return fail(QStringLiteral("the file ends inside a body"));
        return take(words, keywords, count, numbers);
    }

    bool take(const QList<QByteArray>& words, const QList<QByteArray>& keywords, int count,
              std::vector<double>& numbers)
    {
        // Keywords and numbers alternate: keyword, its number(s), next keyword, ...
        const int expected = keywords.size() + count;
        if (words.size() != expected || words.front() != keywords.front())
            return fail(QStringLiteral("expected \"%1\" with %2 numbers").arg(QString::fromUtf8(keywords.front())).arg(count));
        numbers.clear();
        int keyword = 0;
        for (const QByteArray& word : words) {
            if (keyword < keywords.size() && word == keywords[keyword]) {
                ++keyword;
                continue;
            }
            bool ok = false;
            const double value = word.toDouble(&ok);
            if (!ok || !std::isfinite(value))
                return fail(QStringLiteral("\"%1\" is not a finite number").arg(QString::fromUtf8(word)));
            numbers.push_back(value);
        }
        if (keyword != keywords.size() || int(numbers.size()) != count)
            return fail(QStringLiteral("expected \"%1\" with %2 numbers").arg(QString::fromUtf8(keywords.front())).arg(count));
        return true;
    }

    bool fail(const QString& text)
    {
        if (m_problem)
            *m_problem = QStringLiteral("line %1: %2").arg(m_lines.line()).arg(text);
        return false;
    }

private:
    LineReader& m_lines;
    QString* m_problem;
};

bool readBox(BodyParser& parser, std::vector<CADBody>& bodies)
{
    std::vector<double> at, low, high, none;
    if (!parser.expect({"at"}, 3, at) || !parser.expect({"low"}, 3, low) || !parser.expect({"high"}, 3, high) ||
        !parser.expect({"end"}, 0, none))
        return false;
    if (low[0] > high[0] || low[1] > high[1] || low[2] > high[2])
        return parser.fail(QStringLiteral("the box's low corner lies above its high corner"));
    bodies.push_back(CADBody::box(Geometry::Bound(Vec3(low[0], low[1], low[2]), Vec3(high[0], high[1], high[2])),
                                  Vec3(at[0], at[1], at[2])));
    return true;
}

bool readPrism(LineReader& lines, BodyParser& parser, std::vector<CADBody>& bodies, int& pointsLeft)
{
    std::vector<double> at, levels, point;
    if (!parser.expect({"at"}, 3, at) || !parser.expect({"base", "height"}, 2, levels))
        return false;
    std::vector<Vec2> outline;
    QList<QByteArray> words;
    while (true) {
        if (!lines.next(words))
            return parser.fail(QStringLiteral("the file ends inside a body"));
        if (words.front() == "end" && words.size() == 1)
            break;
        if (!parser.take(words, {"point"}, 2, point))
            return false;
        if (--pointsLeft < 0)
            return parser.fail(QStringLiteral("more than %1 outline points").arg(CADModel::MaxPoints));
        outline.emplace_back(point[0], point[1]);
    }
    const QString problem = CADBody::prismProblem(outline, levels[1]);
    if (!problem.isEmpty())
        return parser.fail(problem);
    bodies.push_back(CADBody::prism(std::move(outline), levels[0], levels[1], Vec3(at[0], at[1], at[2])));
    return true;
}

} // namespace

Geometry::Bound CADModel::getBound() const
{
    Geometry::Bound bound;
    for (const CADBody& body : m_bodies)
        bound.unite(body.getBound());
    return bound;
}

QByteArray CADModel::toText() const
{
    QByteArray text = header + '\n';
    for (const CADBody& body : m_bodies) {
        if (body.getKind() == CADBody::Kind::Box) {
            text += "box\n  at " + vector(body.getPlacement()) + "\n  low " + vector(body.getLocalBox().getLow()) +
                    "\n  high " + vector(body.getLocalBox().getHigh()) + "\nend\n";
            continue;
        }
        text += "prism\n  at " + vector(body.getPlacement()) + "\n  base " + number(body.getBase()) + " height " +
                number(body.getHeight()) + '\n';
        for (const Vec2& point : body.getOutline())
            text += "  point " + number(point.x) + ' ' + number(point.y) + '\n';
        text += "end\n";
    }
    return text;
}

std::optional<CADModel> CADModel::fromText(const QByteArray& text, QString* problem)
{
    LineReader lines(text);
    BodyParser parser(lines, problem);
    QList<QByteArray> words;
    if (!lines.next(words) || words.join(' ') != header) {
        parser.fail(QStringLiteral("not a CAD text file (the first line is not \"%1\")").arg(QString::fromUtf8(header)));
        return std::nullopt;
    }
    std::vector<CADBody> bodies;
    int pointsLeft = MaxPoints;
    while (lines.next(words)) {
        if (words.size() != 1 || (words.front() != "box" && words.front() != "prism")) {
            parser.fail(QStringLiteral("expected \"box\" or \"prism\""));
            return std::nullopt;
        }
        if (int(bodies.size()) == MaxBodies) {
            parser.fail(QStringLiteral("more than %1 bodies").arg(MaxBodies));
            return std::nullopt;
        }
        const bool read = words.front() == "box" ? readBox(parser, bodies)
                                                 : readPrism(lines, parser, bodies, pointsLeft);
        if (!read)
            return std::nullopt;
    }
    return CADModel(std::move(bodies));
}

bool CADModel::writeFile(const QString& path, QString* problem) const
{
    QSaveFile file(path);
    const QByteArray text = toText();
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        if (problem)
            *problem = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

std::optional<CADModel> CADModel::readFile(const QString& path, QString* problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (problem)
            *problem = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (file.size() > MaxFileBytes) {
        if (problem)
            *problem = QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(MaxFileBytes);
        return std::nullopt;
    }
    QString reason;
    std::optional<CADModel> model = fromText(file.read(MaxFileBytes + 1), &reason);
    if (!model && problem)
        *problem = QStringLiteral("%1: %2").arg(path, reason);
    return model;
}

} // namespace CADinterface
