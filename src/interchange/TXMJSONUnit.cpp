#include <tarvex/interchange/TXMJSONUnit.h>

namespace Tarvex {

TXMJSONUnit::TXMJSONUnit(const QJsonObject& object) : InterProcess::Types::BasicJsonObject(object) {}

TXMJSONUnit::~TXMJSONUnit() = default;

QString TXMJSONUnit::getLength() const { return getItemString(QStringLiteral("length"), QStringLiteral("um")); }

void TXMJSONUnit::setLength(const QString& unit) { setItem(QStringLiteral("length"), unit); }

QString TXMJSONUnit::getDisplacement() const
{
    return getItemString(QStringLiteral("displacement"), QStringLiteral("mm"));
}

void TXMJSONUnit::setDisplacement(const QString& unit) { setItem(QStringLiteral("displacement"), unit); }

QString TXMJSONUnit::getLoad() const { return getItemString(QStringLiteral("load"), QStringLiteral("N")); }

void TXMJSONUnit::setLoad(const QString& unit) { setItem(QStringLiteral("load"), unit); }

QString TXMJSONUnit::getTemperature() const
{
    return getItemString(QStringLiteral("temperature"), QStringLiteral("C"));
}

void TXMJSONUnit::setTemperature(const QString& unit) { setItem(QStringLiteral("temperature"), unit); }

QString TXMJSONUnit::getTime() const { return getItemString(QStringLiteral("time"), QStringLiteral("s")); }

void TXMJSONUnit::setTime(const QString& unit) { setItem(QStringLiteral("time"), unit); }

} // namespace Tarvex
