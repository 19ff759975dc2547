#pragma once

#include <tarvex/host/DeferredProgress.h>
#include <tarvex/objects/TarvexObject.h>

#include <QString>

#include <exception>
#include <memory>
#include <thread>
#include <vector>

namespace Tarvex {

/// The object tree of one interchange XML file: read and nested by `TarvexObjectBuilder`,
/// either at once or on a thread of its own that runs while the caller does other work
/// (such as loading the model the objects are to go into).
///
/// A reading on its own thread keeps its reports; `finish` hands them on in the order they
/// were made and rethrows what the reading threw, so that the caller sees the same reports
/// and the same failures as from a reading done at that point.
class TarvexObjectReading
{
public:
    /// How a reading ended.
    enum class Outcome {
        Built,     ///< The objects were read and nested.
        NotRead,   ///< The file could not be read; the builder has said so.
        Stopped,   ///< The reading stopped part way (an outline out of plane: the builder named it).
    };

    /// Starts reading the file at `path` on a thread of its own. Where no thread can be
    /// had, the reading is done by `finish` instead.
    explicit TarvexObjectReading(const QString& path);
    /// Waits for the thread; what it read is dropped unless taken by `finish`.
    ~TarvexObjectReading();
    TarvexObjectReading(const TarvexObjectReading&) = delete;
    TarvexObjectReading& operator=(const TarvexObjectReading&) = delete;

    /// The file being read.
    const QString& getPath() const { return m_path; }
    /// Waits for the reading, sends its reports to `progress` (may be null), moves the
    /// top-level objects into `objects` and answers how it ended. Rethrows what the reading
    /// threw other than what `Stopped` stands for (running out of memory, for one). Only the
    /// first call takes anything: later ones answer `NotRead` and report nothing.
    Outcome finish(Tools::ToolProgress* progress, std::vector<std::unique_ptr<TarvexObject>>& objects);

    /// Reads the file at `path` on the calling thread, reporting to `progress` as it goes.
    static Outcome readNow(const QString& path, Tools::ToolProgress* progress,
                           std::vector<std::unique_ptr<TarvexObject>>& objects);

private:
    QString m_path;
    Tools::DeferredProgress m_reports;
    std::vector<std::unique_ptr<TarvexObject>> m_objects;
    Outcome m_outcome = Outcome::NotRead;
    std::exception_ptr m_failure;
    std::thread m_thread;
    bool m_started = false;
    bool m_finished = false;
};

} // namespace Tarvex
