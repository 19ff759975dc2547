#pragma once

#include <tarvex/host/DeferredProgress.h>
#include <tarvex/objects/TarvexObject.h>

#include <QString>

#include <exception>
#include <memory>
#include <vector>

namespace Tarvex {

/// The object tree of one interchange XML file, read and nested by `TarvexObjectBuilder`
/// apart from the import that takes it: a caller with other work to do meanwhile (such as
/// loading the model the objects are to go into) can have `read` run on a thread of its own,
/// and hand the reading to the importer afterwards.
///
/// A reading done by `read` keeps its reports; `finish` hands them on in the order they were
/// made and rethrows what the reading threw, so that the importer sees the same reports and
/// the same failures as from a reading done there and then.
class TarvexObjectReading
{
public:
    /// How a reading ended.
    enum class Outcome {
        Built,   ///< The objects were read and nested.
        NotRead, ///< The file could not be read; the builder has said so.
        Stopped, ///< The reading stopped part way (an outline out of plane: the builder named it).
    };

    /// A reading of the file at `path`, not yet begun.
    explicit TarvexObjectReading(const QString& path);

    /// The file to read.
    const QString& getPath() const { return m_path; }
    /// Reads the file, keeping the reports and whatever the reading throws for `finish`. May
    /// run on any thread; `finish` may be called once it has returned. Only the first call
    /// reads.
    void read();
    /// Sends the reports of the reading to `progress` (may be null), moves the top-level
    /// objects into `objects` and answers how the reading ended; reads now, reporting as it
    /// goes, when `read` was not called. Rethrows what the reading threw other than what
    /// `Stopped` stands for (running out of memory, for one). Only the first call takes
    /// anything: later ones answer `NotRead` and report nothing.
    Outcome finish(Tools::ToolProgress* progress, std::vector<std::unique_ptr<TarvexObject>>& objects);

    /// Reads the file at `path` on the calling thread, reporting to `progress` as it goes.
    static Outcome readNow(const QString& path, Tools::ToolProgress* progress,
                           std::vector<std::unique_ptr<TarvexObject>>& objects);

private:
    enum class Stage { Waiting, Read, Taken };
    QString m_path;
    Stage m_stage = Stage::Waiting;
    Tools::DeferredProgress m_reports;
    std::vector<std::unique_ptr<TarvexObject>> m_objects;
    Outcome m_outcome = Outcome::NotRead;
    std::exception_ptr m_failure;
};

} // namespace Tarvex
