#include "ReadAhead.h"

#include <new>
#include <system_error>

ReadAhead::ReadAhead(const QString& file) : m_reading(file)
{
    try {
        m_thread = std::thread([this] { m_reading.read(); });
    } catch (const std::system_error&) {
        // No thread to be had (a cap on threads or memory): the reading waits for the importer.
    } catch (const std::bad_alloc&) {
    }
}

ReadAhead::~ReadAhead()
{
    if (m_thread.joinable())
        m_thread.join();
}

Tarvex::TarvexObjectReading* ReadAhead::wait()
{
    if (m_thread.joinable())
        m_thread.join();
    return &m_reading;
}
