#pragma once

// A host keeps Qt's keywords (signals, slots, emit): the library's headers, every one of
// them included by the build beside this file, must compile in such a host.
#include <tarvex/import/TarvexImporter.h>

#include <QObject>

/// Tells whoever listens how many entities an import built, the way a host's view would.
class ImportAnnouncer : public QObject
{
    Q_OBJECT

public slots:
    /// Announces that an import built `count` entities.
    void announce(int count) { emit imported(count); }

signals:
    /// An import built `count` entities.
    void imported(int count);
};
