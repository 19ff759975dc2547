#pragma once

#include <tarvex/host/CADBody.h>

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace CADinterface {

/// The CAD geometry of one host entity, kept in a plain text file of our own:
///
///     tarvex-cad 1
///     box
///       at PX PY PZ
///       low X Y Z
///       high X Y Z
///     end
///     prism
///       at PX PY PZ
///       base Y height H
///       point X Z        (three or more, in order)
///     end
///
/// Numbers are in metres and written shortest-exact, so a model written and read again is
/// equal to the one written. Blank lines and lines starting with "#" are skipped. Faces are
/// not stored: each body gives its faces with outward normals (`CADBody::getFaces`).
class CADModel
{
public:
    /// The most bodies a file may hold.
    static constexpr int MaxBodies = 100000;
    /// The most outline points all prisms of a file may hold together.
    static constexpr int MaxPoints = 1000000;
    /// The largest file `readFile` reads.
    static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

    /// A model without bodies.
    CADModel() = default;
    /// A model of `bodies`, in order.
    explicit CADModel(std::vector<CADBody> bodies) : m_bodies(std::move(bodies)) {}

    /// The bodies in file order.
    const std::vector<CADBody>& getBodies() const { return m_bodies; }
    /// Appends a body.
    void addBody(const CADBody& body) { m_bodies.push_back(body); }
    /// The box holding every body, in world coordinates (empty without bodies).
    Geometry::Bound getBound() const;

    /// The text of the file.
    QByteArray toText() const;
    /// The model in `text`; none, with the line and the reason in `problem`, when the text is
    /// not a well-formed file: unknown or misplaced keywords, numbers that are not finite, a
    /// box whose low corner lies above its high one, a prism of fewer than three points, of
    /// a repeated consecutive point, of no area or of a negative height, or more than the
    /// bodies or points allowed.
    static std::optional<CADModel> fromText(const QByteArray& text, QString* problem);

    /// Writes the file at `path`; false with the reason in `problem` when it cannot be written.
    bool writeFile(const QString& path, QString* problem) const;
    /// Reads the file at `path` as `fromText` does; none, with the reason, when it cannot be
    /// opened, is larger than `MaxFileBytes` or is not well formed.
    static std::optional<CADModel> readFile(const QString& path, QString* problem);

    /// Exact comparison of the bodies, in order.
    bool operator==(const CADModel& other) const { return m_bodies == other.m_bodies; }
    bool operator!=(const CADModel& other) const { return !(*this == other); }

private:
    std::vector<CADBody> m_bodies;
};

} // namespace CADinterface
