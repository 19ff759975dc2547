#pragma once

#include <tarvex/host/Entity.h>
#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/host/Transform.h>
#include <tarvex/objects/TarvexTerminal.h>

#include <QList>
#include <QObject>

namespace Tarvex {

class TarvexEntityBuildState;
class TarvexPart;

/// How many pins a terminal's face carries along each of its two directions.
struct TarvexPinGrid
{
    /// Pins along the face's first direction ("NX").
    qint32 first = 0;
    /// Pins along the face's second direction ("NY").
    qint32 second = 0;
};

/// Builds the `Terminal_t` entities of a part's terminals below the part's entity,
/// each on the face of the part its normal points out of. Elements of one name that face
/// one way become one hidden terminal; elements of one name facing different ways are
/// built one by one inside a `Terminal_Group_t` of their "TerminalGroup". Entities are got
/// or created by key through the shared state, so an update reuses those it built before.
class TarvexTerminalEntityBuilder : public QObject, public Log::ProgressBaseObject
{
    Q_OBJECT

public:
    /// Builds `terminals` (those of `part`) below `partEntity`; `entityFrame` is the
    /// host frame of `partEntity` itself, from whose corner a terminal's offsets are measured
    /// (so that they stay true wherever the entity is moved).
    static void buildTerminals(TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress,
                               const QList<TarvexTerminal>& terminals, const TarvexPart& part,
                               EntityModel::Entity* partEntity, const Geometry::Transform& entityFrame);
    /// Builds the terminals of a layered part below its layered `entity`, whose host frame is
    /// `entityFrame`: a board's on the whole board; any other layered part's per layer.
    static void buildLayeredTerminals(TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress,
                                      const TarvexPart& part, EntityModel::Entity* entity,
                                      const Geometry::Transform& entityFrame);

    /// A builder getting its entities through `sharedState` and reporting to `progress`.
    TarvexTerminalEntityBuilder(TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress);
    ~TarvexTerminalEntityBuilder() override;

    /// The sink this builder reports to (may be null).
    Tools::ToolProgress* getProgress() const override;

    /// Same as `buildTerminals`, with this builder's state and sink.
    void build(const QList<TarvexTerminal>& terminals, const TarvexPart& part, EntityModel::Entity* partEntity,
               const Geometry::Transform& entityFrame);
    /// The `Terminal_Group_t` of `group` below `parent`, got or created and filled once per
    /// import; null when the host gives none.
    EntityModel::Entity* obtainTerminalGroup(const TarvexTerminalGroup& group, EntityModel::Entity* parent);
    /// The `Terminal_t` of `terminal` below `parent`, got or created and filled: its face of
    /// `part`, offset from the corner of the entity whose host frame is `entityFrame`, with
    /// `pins`. Null when the host gives none.
    EntityModel::Entity* obtainTerminal(const TarvexTerminal& terminal, const TarvexPinGrid& pins,
                                        const TarvexPart& part, EntityModel::Entity* parent,
                                        const Geometry::Transform& entityFrame);

private:
    TarvexEntityBuildState* sharedState;
    Tools::ToolProgress* progress;
};

} // namespace Tarvex
