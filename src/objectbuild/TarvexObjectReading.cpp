#include <tarvex/objectbuild/TarvexObjectReading.h>

#include <tarvex/objectbuild/TarvexObjectBuilder.h>

#include <new>
#include <system_error>

namespace Tarvex {

TarvexObjectReading::TarvexObjectReading(const QString& path) : m_path(path)
{
    try {
        m_thread = std::thread([this] {
            try {
                m_outcome = readNow(m_path, &m_reports, m_objects);
            } catch (...) {
                m_failure = std::current_exception();
            }
        });
        m_started = true;
    } catch (const std::system_error&) {
        // No thread to be had (a cap on threads or on memory): `finish` reads instead.
    }
}

TarvexObjectReading::~TarvexObjectReading()
{
    if (m_thread.joinable())
        m_thread.join();
}

TarvexObjectReading::Outcome TarvexObjectReading::finish(Tools::ToolProgress* progress,
                                                         std::vector<std::unique_ptr<TarvexObject>>& objects)
{
    if (m_finished)
        return Outcome::NotRead;
    m_finished = true;
    if (!m_started)
        return readNow(m_path, progress, objects);
    m_thread.join();
    if (progress)
        m_reports.replayInto(*progress);
    if (m_failure)
        std::rethrow_exception(m_failure);
    objects = std::move(m_objects);
    return m_outcome;
}

TarvexObjectReading::Outcome TarvexObjectReading::readNow(const QString& path, Tools::ToolProgress* progress,
                                                          std::vector<std::unique_ptr<TarvexObject>>& objects)
{
    TarvexObjectBuilder builder(progress);
    try {
        if (!builder.readFile(path))
            return Outcome::NotRead;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        return Outcome::Stopped;
    }
    builder.buildTree();
    objects = builder.takeObjects();
    return Outcome::Built;
}

} // namespace Tarvex
