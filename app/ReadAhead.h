#pragma once

#include <tarvex/objectbuild/TarvexObjectReading.h>

#include <QString>

#include <thread>

/// The reading of an interchange file on a thread of the tool's own, started while the
/// command loads the model the file is to go into: on a large board each takes a while, and
/// neither needs the other.
class ReadAhead
{
public:
    /// Starts reading `file`. Where no thread can be had, the importer reads it instead.
    explicit ReadAhead(const QString& file);
    /// Waits for the thread.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    /// Waits for the reading to end and answers it, for the importer to take.
    Tarvex::TarvexObjectReading* wait();

private:
    Tarvex::TarvexObjectReading m_reading;
    std::thread m_thread;
};
