#pragma once

#include <QDateTime>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

#include <vector>

// What a picture of a board shows, gathered once from a saved model or an interchange file
// and drawn in any view. Lengths are millimetres in the file's axes: x to the right, y away
// from the viewer of the top view, z up from the lowest board face.
namespace Render {

/// The views a picture can take.
enum class View { Top, Bottom, Side };

/// A material as the legend and the report name it; SI values, NaN where none is known.
struct SceneMaterial
{
    QString name;
    double conductivity[3];
    double density;
    double specificHeat;
    double emissivity;
};

/// One cell of a layer, seen from above, with the material it is made of.
struct SceneCell
{
    QPolygonF outline;
    QString material;
};

/// One layer of a board: its cells at one elevation.
struct SceneLayer
{
    QString name;
    double elevation = 0.0;
    double thickness = 0.0;
    QVector<SceneCell> cells;
    /// The material most of the layer's area is made of.
    QString mainMaterial() const;
};

/// A board or another layered part standing on its own, with its layers bottom-up.
struct SceneBoard
{
    QString name;
    /// The outline seen from above with its through holes cut out.
    QPainterPath shape;
    /// Holes that reach only one face: seen from that face they are cut out too.
    QVector<QPolygonF> topHoles;
    QVector<QPolygonF> bottomHoles;
    QVector<SceneLayer> layers;
    /// The power the layers' cells carry, W.
    double power = 0.0;

    double bottom() const;
    double top() const;
    /// The layers whose face is the board's top (or bottom) face.
    QVector<const SceneLayer*> faceLayers(bool top) const;
};

/// What an outline stands for.
enum class OutlineKind { Component, Block, Terminal };

/// A component, block or terminal: its outline seen from above and its heights.
struct SceneOutline
{
    OutlineKind kind = OutlineKind::Component;
    /// The reference designator, or the name of what has none.
    QString label;
    /// What the model calls its kind or modelling level ("Detailed", "2R", "Package").
    QString type;
    QString material;
    QPolygonF outline;
    double zLow = 0.0;
    double zHigh = 0.0;
    /// True for what stands on a board's bottom face.
    bool bottomSide = false;
    /// The power it dissipates as a whole, W (heat sources inside it are counted apart).
    double power = 0.0;
};

/// A solder ball or bump: a circle seen from above. Kept small, a board holds 100 000.
struct SceneBall
{
    float x;
    float y;
    float radius;
    float zLow;
    float height;
    bool bump;
    bool bottomSide;
};

/// A heat source or one cell of a power map: an area carrying a power.
struct SceneHeat
{
    QString name;
    /// The component or block it heats.
    QString owner;
    QPolygonF area;
    double power = 0.0;
    double z = 0.0;
    bool bottomSide = false;
    /// True for a cell of a power map, which carries the name of its map (the report lists
    /// the map, not its cells).
    bool mapCell = false;
    /// The area map the source holds and whose power it carries, empty for none.
    QString areaMap;
    /// Power per area, W/m^2; 0 for an area without size.
    double density() const;
};

/// Everything one picture or report of a model shows.
struct RenderScene
{
    /// The file the scene comes from (its name is written in a corner) and its date.
    QString fileName;
    QDateTime date;
    QVector<SceneBoard> boards;
    QVector<SceneOutline> outlines;
    std::vector<SceneBall> balls;
    QVector<SceneHeat> heats;
    /// The materials of the model, by name.
    QVector<SceneMaterial> materials;
    /// The warnings an import left, where the model records them, or that reading the file gave.
    QStringList warnings;
    /// True when the scene is what an interchange file says rather than a saved model.
    bool fromFile = false;

    /// The box seen from above that holds everything drawn.
    QRectF planBounds() const;
    /// The lowest and highest z of everything drawn.
    std::pair<double, double> heightRange() const;
    /// The materials that cells are made of, in the order of `materials` then of first use;
    /// a picture gives each the same colour in every view.
    QStringList cellMaterials() const;
    /// The smallest and largest power density of the heat sources, W/m^2.
    std::pair<double, double> densityRange() const;
    /// Marks what stands wholly below the lowest board face as seen from below (what is
    /// marked already stays so).
    void markBottomSide();
    /// The power of the board at `index` and of everything over its outline: its cells, the
    /// components and blocks and the heat sources (each counted with the first board under it), W.
    double boardPower(int index) const;
    /// True when nothing would be drawn.
    bool isEmpty() const;
};

/// "1 board", "3 boards": `count` and the word it counts.
QString counted(qsizetype count, const QString& one, const QString& many);

} // namespace Render
