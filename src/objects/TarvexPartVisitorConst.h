#pragma once

namespace Tarvex {

class TarvexPart;
class TarvexSolderBump;
class TarvexSolderBall;
class TarvexCompositeGeometryObject;
class TarvexLayeredPartLayerCell;
class TarvexLayeredPartLayer;
class TarvexLayeredPart;
class TarvexBasic2RPart;
class TarvexBasicPart;

/// Visits the parts of the object model (double dispatch through `TarvexPart::accept`).
/// Each visit returns the visitor's result, which `accept` passes on; the defaults that do
/// nothing answer true.
class TarvexPartVisitorConst
{
public:
    /// Asked after a container (layered part, layer, composite) was visited: true lets its
    /// children be visited. Default true.
    virtual bool visitChildren(const TarvexPart& part);
    /// A solder bump; default does nothing.
    virtual bool visitSolderBump(const TarvexSolderBump& bump);
    /// A solder ball; default does nothing.
    virtual bool visitSolderBall(const TarvexSolderBall& ball);
    /// A composite; default does nothing.
    virtual bool visitComposite(const TarvexCompositeGeometryObject& composite);
    /// A layer cell; default forwards to `visitBasicPart`.
    virtual bool visitCell(const TarvexLayeredPartLayerCell& cell);
    /// A layer of a layered part.
    virtual bool visitLayer(const TarvexLayeredPartLayer& layer) = 0;
    /// A layered part.
    virtual bool visitLayeredPart(const TarvexLayeredPart& part) = 0;
    /// A two-resistor part; default forwards to `visitBasicPart`.
    virtual bool visitBasic2RPart(const TarvexBasic2RPart& part);
    /// A basic part; default does nothing.
    virtual bool visitBasicPart(const TarvexBasicPart& part);
    virtual ~TarvexPartVisitorConst();

protected:
    TarvexPartVisitorConst() = default;
    TarvexPartVisitorConst(const TarvexPartVisitorConst&) = default;
    TarvexPartVisitorConst& operator=(const TarvexPartVisitorConst&) = default;
};

} // namespace Tarvex
