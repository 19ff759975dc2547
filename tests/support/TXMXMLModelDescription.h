#pragma once

#include <tarvex/interchange/TXMXMLModel.h>

#include <QStringList>

namespace Tarvex {

/// Every value that the element wrappers read from `model`, one line per element in the
/// order the wrappers list them, starting with the "SchemaVersion". Two models with equal
/// descriptions read the same to everything that reads them through the wrappers, however
/// their elements and attributes are ordered or spelled beyond that.
QStringList describeTXMXMLModel(const TXMXMLModel& model);

} // namespace Tarvex
