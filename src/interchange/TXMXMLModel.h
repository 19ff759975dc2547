#pragma once

#include <tarvex/host/XMLDOMNode.h>
#include <tarvex/interchange/LegacyXMLSimplificationOptions.h>
#include <tarvex/interchange/TXMFileVersion.h>
#include <tarvex/interchange/TXMXMLGeomSet.h>
#include <tarvex/interchange/TXMXMLLayoutSet.h>
#include <tarvex/interchange/TXMXMLMaterialSet.h>
#include <tarvex/interchange/TXMXMLPower2DSourceSet.h>
#include <tarvex/interchange/TXMXMLSolderBallSet.h>
#include <tarvex/interchange/TXMXMLSolderBumpSet.h>
#include <tarvex/interchange/TXMXMLTerminalSet.h>
#include <tarvex/interchange/TXMXMLUnitSet.h>


namespace Tarvex {

/// The root element "TARVEX_INTERCHANGE_MODEL" of an interchange XML document. A value:
/// copies share the element, and a null model answers every getter with its default.
/// Each child set is the first child element of its name; the setters replace that child.
class TXMXMLModel : public InterProcess::XMLDOMNode
{
public:
    /// The null model.
    TXMXMLModel() = default;
    /// A model around `element` (which may be null).
    explicit TXMXMLModel(const InterProcess::XMLDOMNode& element);

    /// The format version written in "SchemaVersion"; the empty version when it is absent.
    TXMFileVersion getSchemaVersion() const;
    /// Writes "SchemaVersion" as the components joined by ".".
    void setSchemaVersion(const TXMFileVersion& version);

    /// "UNITSet": the units of the file.
    TXMXMLUnitSet getUnitSet() const;
    /// Replaces "UNITSet".
    void setUnitSet(const TXMXMLUnitSet& unitSet);
    /// "MaterialSet": materials and material libraries.
    TXMXMLMaterialSet getMaterialSet() const;
    /// Replaces "MaterialSet".
    void setMaterialSet(const TXMXMLMaterialSet& materialSet);
    /// "SimplificationOptions": grids of layered parts in older files.
    LegacyXMLSimplificationOptions getSimplificationOptions() const;
    /// Replaces "SimplificationOptions".
    void setSimplificationOptions(const LegacyXMLSimplificationOptions& options);
    /// "GEOMSet": the footprints.
    TXMXMLGeomSet getGeomSet() const;
    /// Replaces "GEOMSet".
    void setGeomSet(const TXMXMLGeomSet& geomSet);
    /// "LayoutSet": metal layouts of layer cells.
    TXMXMLLayoutSet getLayoutSet() const;
    /// Replaces "LayoutSet".
    void setLayoutSet(const TXMXMLLayoutSet& layoutSet);
    /// "Power2DSourceSet": planar heat sources.
    TXMXMLPower2DSourceSet getPower2DSourceSet() const;
    /// Replaces "Power2DSourceSet".
    void setPower2DSourceSet(const TXMXMLPower2DSourceSet& sourceSet);
    /// "TerminalSet": terminal groups.
    TXMXMLTerminalSet getTerminalSet() const;
    /// Replaces "TerminalSet".
    void setTerminalSet(const TXMXMLTerminalSet& terminalSet);
    /// "SolderBallSet": solder balls.
    TXMXMLSolderBallSet getSolderBallSet() const;
    /// Replaces "SolderBallSet".
    void setSolderBallSet(const TXMXMLSolderBallSet& ballSet);
    /// "SolderBumpSet": solder bumps.
    TXMXMLSolderBumpSet getSolderBumpSet() const;
    /// Replaces "SolderBumpSet".
    void setSolderBumpSet(const TXMXMLSolderBumpSet& bumpSet);
};

} // namespace Tarvex
