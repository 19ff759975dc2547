#pragma once

#include <tarvex/host/XMLDOMDocument.h>
#include <tarvex/interchange/TarvexTXMXMLDocument.h>

#include <QByteArray>
#include <QtGlobal>

namespace Tarvex {

/// What `TXMXMLGenerator` puts in a file.
struct TXMXMLGeneratorOptions
{
    /// Board layers, bottom to top; each has one or two cells.
    int layers = 4;
    /// Components on the board, of every kind in turn as the seed picks them: blocks,
    /// two-resistor models, packages with a die, and heat sinks.
    int components = 8;
    /// Solder balls under the packages, and as many solder bumps under their dies.
    int balls = 16;
    /// Writes the older layout: the former root name without a version, layer materials
    /// as "MetalMat"/"DieletricMat", "GeomName", "_JB"/"_JC" suffixes, "Nx"/"Ny" in the
    /// misspelled "SimplifictionOptions".
    bool legacy = false;
    /// Seeds every size, position and value; the same options give the same document.
    quint64 seed = 1;
};

/// Writes synthetic interchange documents, for tests, benchmarks and `tarvex generate`: a
/// board with its layers, components of every kind, terminals, solder balls and bumps,
/// materials and heat sources, in the current layout or in the older one. Both layouts of
/// the same options hold the same content once the older one has been updated.
class TXMXMLGenerator
{
public:
    /// A generator for `options`.
    explicit TXMXMLGenerator(const TXMXMLGeneratorOptions& options);

    /// The options given at construction.
    const TXMXMLGeneratorOptions& options() const { return m_options; }
    /// A new document for the options.
    TarvexTXMXMLDocument generate() const;

    /// `document` as UTF-8 XML with the attributes of each element in name order, so that
    /// the same document always gives the same bytes (the DOM keeps no attribute order).
    static QByteArray toXml(const InterProcess::XMLDOMDocument& document);

private:
    TXMXMLGeneratorOptions m_options;
};

} // namespace Tarvex
