#pragma once

#include <tarvex/host/XMLDOMNode.h>
#include <tarvex/interchange/TXMFileVersion.h>
#include <tarvex/interchange/TXMXMLModel.h>
#include <tarvex/interchange/TarvexTXMXMLDocument.h>

namespace Tarvex {

/// Brings an interchange XML document written by an older format version up to the
/// current layout. Works in place on the shared DOM, never reports, and leaves
/// "SchemaVersion" as the file had it.
///
/// Thresholds: a file is old when its version is below 2025.1.0 and not newer when it is
/// not above 2025.1.0; the empty version (no "SchemaVersion") is old. Every element update
/// takes the version of the file the element comes from.
class TarvexTXMXMLUpdater
{
public:
    TarvexTXMXMLUpdater() = default;
    TarvexTXMXMLUpdater(const TarvexTXMXMLUpdater& other) = default;
    ~TarvexTXMXMLUpdater() = default;

    /// The version this updater brings documents to: 2025.1.0.
    static TXMFileVersion current();

    /// True when `version` is not newer than `current()`: such files pass through `update`.
    bool needsUpdate(const TXMFileVersion& version) const;
    /// `needsUpdate` of the "SchemaVersion" of the root "TARVEX_INTERCHANGE_MODEL"; the
    /// empty version, and so true, when the document has no such root.
    bool needsUpdate(const TarvexTXMXMLDocument& document) const;
    /// `needsUpdate` of the model's "SchemaVersion".
    bool needsUpdate(const TXMXMLModel& model) const;

    /// Updates `document` in place and returns it; a document whose root is neither
    /// "TARVEX_INTERCHANGE_MODEL" nor the legacy "NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL"
    /// gives a null document. The legacy root is renamed and gets an empty "SchemaVersion".
    /// Documents that need no update come back unchanged.
    TarvexTXMXMLDocument update(const TarvexTXMXMLDocument& document);
    /// Updates the model element and all its sets in place and returns it.
    TXMXMLModel update(const TXMXMLModel& model);

    /// Old files: "Nx" and "Ny" of every "Model" become "NX" and "NY"; the models end up
    /// after any other children.
    LegacyXMLSimplificationOptions update(const LegacyXMLSimplificationOptions& options,
                                          const TXMFileVersion& fileVersion) const;
    /// Old files: "Nx" and "Ny" become "NX" and "NY", each only when present.
    LegacyXMLSimplificationModel update(const LegacyXMLSimplificationModel& model,
                                        const TXMFileVersion& fileVersion) const;
    /// Moves the "Material" children, then the "Include" children, after any other
    /// children, each group in its order; nothing else changes.
    TXMXMLMaterialSet update(const TXMXMLMaterialSet& materialSet, const TXMFileVersion& fileVersion) const;
    /// Unchanged.
    TXMXMLMaterial update(const TXMXMLMaterial& material, const TXMFileVersion& fileVersion) const;
    /// Unchanged.
    TXMXMLMaterialInclude update(const TXMXMLMaterialInclude& include, const TXMFileVersion& fileVersion) const;
    /// Starts a new collected layout set and updates every "Geom" (see below), which end
    /// up after any other children in their order.
    TXMXMLGeomSet update(const TXMXMLGeomSet& geomSet, const TXMFileVersion& fileVersion);
    /// Below 2025.1: an "ObjectName" ending in "_JB" or "_JC" loses every "_JB" and "_JC".
    /// Not newer, without "MatName": "MetalMat" with "DieletricMat" moves into a layout
    /// "Include" of the collected layout set (with "MetalDensityFile" as its "File"); either
    /// one alone becomes "MatName".
    TXMXMLGeom update(const TXMXMLGeom& geom, const TXMFileVersion& fileVersion);
    /// Not newer: every "Include" gets the "GeomName" rename and moves after any other
    /// children.
    TXMXMLLayoutSet update(const TXMXMLLayoutSet& layoutSet, const TXMFileVersion& fileVersion) const;
    /// Not newer: without "ObjectName", "GeomName" becomes "ObjectName".
    TXMXMLLayoutInclude update(const TXMXMLLayoutInclude& include, const TXMFileVersion& fileVersion) const;
    /// Not newer: every "Power2DSource" gets the "GeomName" rename and moves after any
    /// other children.
    TXMXMLPower2DSourceSet update(const TXMXMLPower2DSourceSet& sourceSet, const TXMFileVersion& fileVersion) const;
    /// Not newer: without "ObjectName", "GeomName" becomes "ObjectName".
    TXMXMLPower2DSource update(const TXMXMLPower2DSource& source, const TXMFileVersion& fileVersion) const;
    /// Not newer: updates every "TerminalGroup" in place.
    TXMXMLTerminalSet update(const TXMXMLTerminalSet& terminalSet, const TXMFileVersion& fileVersion) const;
    /// Not newer: every "Terminal" gets the "GeomName" rename and moves after any other
    /// children.
    TXMXMLTerminalGroup update(const TXMXMLTerminalGroup& group, const TXMFileVersion& fileVersion) const;
    /// Not newer: without "ObjectName", "GeomName" becomes "ObjectName".
    TXMXMLTerminal update(const TXMXMLTerminal& terminal, const TXMFileVersion& fileVersion) const;
    /// Unchanged.
    TXMXMLSolderBallSet update(const TXMXMLSolderBallSet& ballSet, const TXMFileVersion& fileVersion) const;
    /// Unchanged.
    TXMXMLSolderBall update(const TXMXMLSolderBall& ball, const TXMFileVersion& fileVersion) const;
    /// Unchanged.
    TXMXMLSolderBumpSet update(const TXMXMLSolderBumpSet& bumpSet, const TXMFileVersion& fileVersion) const;
    /// Unchanged.
    TXMXMLSolderBump update(const TXMXMLSolderBump& bump, const TXMFileVersion& fileVersion) const;

    /// The "LayoutSet" into which the geometry updates since the last geometry-set update
    /// moved layout information: null while none moved. It is not part of any tree until
    /// the model update places it.
    TXMXMLLayoutSet getCollectedLayoutSet() const;

private:
    InterProcess::XMLDOMNode m_collectedLayoutSet;
};

} // namespace Tarvex
