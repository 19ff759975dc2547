#pragma once

#include "RenderScene.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QSize>

class QPainter;

namespace Render {

/// Draws one view of a scene: the drawing to scale on the left, its legend on the right, a
/// scale bar in millimetres and the file's name and date along the foot. Text needs a
/// QGuiApplication (the offscreen platform serves without a display).
class SceneRenderer
{
public:
    /// The picture size used when none is asked for.
    static QSize defaultSize();

    /// A renderer of `view` of `scene`, which must outlive it.
    SceneRenderer(const RenderScene& scene, View view);

    /// Draws the picture on `painter`, whose device is `size` pixels.
    void paint(QPainter& painter, const QSize& size) const;
    /// The picture as an SVG document.
    QByteArray toSvg(const QSize& size) const;
    /// The picture as an image on a white ground.
    QImage toImage(const QSize& size) const;
    /// Writes the picture to `path`, SVG or PNG by its suffix; false with the reason in
    /// `problem` when the suffix is neither or the file cannot be written.
    bool write(const QString& path, const QSize& size, QString* problem) const;

    /// The view's caption ("Top view").
    QString caption() const;
    /// How much the side view stretches heights against lengths in a picture of `size`
    /// (1 for the other views).
    int verticalExaggeration(const QSize& size) const;

private:
    struct Layout;
    Layout layoutFor(const QSize& size) const;
    void paintPlan(QPainter& painter, const Layout& layout) const;
    void paintSide(QPainter& painter, const Layout& layout) const;
    void paintLegend(QPainter& painter, const Layout& layout) const;
    void paintFoot(QPainter& painter, const Layout& layout) const;
    QColor materialColour(const QString& material) const;
    QColor heatColour(double density) const;

    const RenderScene& m_scene;
    const View m_view;
    const QStringList m_materials;
    const QHash<QString, QColor> m_colours;
    const std::pair<double, double> m_densities;
};

} // namespace Render
