#pragma once

#include <tarvex/host/AtomicFile.h>

namespace EntityModel {

class Attribute;
class Model;

/// What writing the saved text of a model came to.
struct ModelTextOutcome
{
    /// True when the whole text went to the sink.
    bool written = false;
    /// True when the text would pass the byte limit.
    bool tooLarge = false;
    /// True when, refusing, the grids were found to hold more cells than a model file takes
    /// (the walk stopped there, so count them with countGridCells()).
    bool tooManyCells = false;
    /// The largest id met, of an entity or in a link.
    quint64 largestId = 0;
    /// How many levels deep the text nests.
    int deepest = 0;
};

/// Writes the saved text of `model` to `sink`, straight from the tree: one entity to a line,
/// keys sorted, numbers in their shortest exact form. Stops once the text passes `maxBytes`;
/// with `refuse`, nothing more goes to the sink once an id above the format's largest is met
/// or the text nests deeper than the reader takes (the text is still counted, so that a
/// model also too large says so), and the writing stops once the grids below hold more
/// than CellGrid::MaximumModelCells cells.
ModelTextOutcome writeModelText(const Model& model, const AtomicFile::Sink& sink, qint64 maxBytes, bool refuse);

/// The cells that grids hold below `attribute`, made or not.
qint64 countGridCells(const Attribute& attribute);

} // namespace EntityModel
