#include <tarvex/objectbuild/TarvexObjectReading.h>

#include <tarvex/objectbuild/TarvexObjectBuilder.h>

#include <new>

namespace Tarvex {

TarvexObjectReading::TarvexObjectReading(const QString& path) : m_path(path) {}

void TarvexObjectReading::read()
{
    if (m_stage != Stage::Waiting)
        return;
    m_stage = Stage::Read;
    try {
        m_outcome = readNow(m_path, &m_reports, m_objects);
    } catch (...) {
        // Kept for `finish`, which throws it where the importer can take the operation back.
        m_failure = std::current_exception();
    }
}

TarvexObjectReading::Outcome TarvexObjectReading::finish(Tools::ToolProgress* progress,
                                                         std::vector<std::unique_ptr<TarvexObject>>& objects)
{
    const Stage stage = m_stage;
    m_stage = Stage::Taken;
    if (stage == Stage::Taken)
        return Outcome::NotRead;
    if (stage == Stage::Waiting)
        return readNow(m_path, progress, objects);
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
