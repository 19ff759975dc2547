#pragma once

#include "interchange/TXMFileVersion.h"
#include "interchange/TXMXMLModel.h"
#include "interchange/TarvexTXMXMLDocument.h"

namespace Tarvex {

/// Brings an interchange XML document written by an older format version up to the
/// current layout. Works in place on the shared DOM, never reports, and leaves
/// "SchemaVersion" as the file had it.
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
    /// gives a null document. Documents that need no update come back unchanged.
    TarvexTXMXMLDocument update(const TarvexTXMXMLDocument& document);
    /// Updates the model element in place and returns it.
    TXMXMLModel update(const TXMXMLModel& model);
};

} // namespace Tarvex
