#pragma once

#include <QByteArray>

namespace InterProcess {

/// Tells whether XML bytes are "plain": UTF-8 text in the common, simple form on which Qt's
/// DOM and pugixml give the same tree. Anything else (another encoding, a document type
/// declaration, processing instructions, character references in text, control or
/// non-ASCII blank characters, names beyond ASCII, a repeated attribute, nesting deeper than
/// the limit, content that is not well formed) is not plain, and is read with Qt's DOM:
/// what is unusual keeps exactly the results and messages it always had.
class XMLDOMPlainScan
{
public:
    /// True when `bytes` are plain and nest no deeper than `maximumDepth` elements.
    static bool isPlain(const QByteArray& bytes, int maximumDepth);
};

} // namespace InterProcess
