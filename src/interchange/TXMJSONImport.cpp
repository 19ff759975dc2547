#include <tarvex/interchange/TXMJSONImport.h>

#include <QJsonValue>

#include <cmath>
#include <limits>

namespace Tarvex {

TXMJSONImport::TXMJSONImport(const QJsonObject& object) : InterProcess::Types::BasicJsonObject(object) {}

TXMJSONImport::~TXMJSONImport() = default;

QString TXMJSONImport::getName() const { return getItemString(QStringLiteral("name")); }

void TXMJSONImport::setName(const QString& name) { setItem(QStringLiteral("name"), name); }

QString TXMJSONImport::getType() const { return getItemString(QStringLiteral("type")); }

void TXMJSONImport::setType(const QString& type) { setItem(QStringLiteral("type"), type); }

QString TXMJSONImport::getFile() const { return getItemString(QStringLiteral("file")); }

void TXMJSONImport::setFile(const QString& file) { setItem(QStringLiteral("file"), file); }

QString TXMJSONImport::getBelongTo() const { return getItemString(QStringLiteral("belongTo")); }

void TXMJSONImport::setBelongTo(const QString& owner) { setItem(QStringLiteral("belongTo"), owner); }

QMap<QString, int> TXMJSONImport::getPriority() const
{
    QMap<QString, int> result;
    const QJsonValue priority = m_object.value(QStringLiteral("priority"));
    if (!priority.isObject())
        return result;
    const QJsonObject names = priority.toObject();
    for (auto it = names.constBegin(); it != names.constEnd(); ++it)
        result.insert(it.key(), toInt32(it.value()).value_or(0));
    return result;
}

void TXMJSONImport::setPriority(const QMap<QString, int>& priority)
{
    QJsonObject names;
    for (auto it = priority.constBegin(); it != priority.constEnd(); ++it)
        names.insert(it.key(), it.value());
    setItem(QStringLiteral("priority"), names);
}

std::optional<double> TXMJSONImport::getCenterX() const { return getOptionalDouble(QStringLiteral("CENX")); }

void TXMJSONImport::setCenterX(const std::optional<double>& value) { setOptionalDouble(QStringLiteral("CENX"), value); }

std::optional<double> TXMJSONImport::getCenterY() const { return getOptionalDouble(QStringLiteral("CENY")); }

void TXMJSONImport::setCenterY(const std::optional<double>& value) { setOptionalDouble(QStringLiteral("CENY"), value); }

std::optional<double> TXMJSONImport::getMinimumZ() const { return getOptionalDouble(QStringLiteral("MINZ")); }

void TXMJSONImport::setMinimumZ(const std::optional<double>& value)
{
    setOptionalDouble(QStringLiteral("MINZ"), value);
}

bool TXMJSONImport::getFaceUp() const { return getItemBool(QStringLiteral("faceUp"), false); }

void TXMJSONImport::setFaceUp(bool faceUp) { setItem(QStringLiteral("faceUp"), faceUp); }

QString TXMJSONImport::getOrientation() const { return getItemString(QStringLiteral("orientation")); }

void TXMJSONImport::setOrientation(const QString& orientation) { setItem(QStringLiteral("orientation"), orientation); }

double TXMJSONImport::getScaleFactor() const { return getItemDouble(QStringLiteral("scaleFactor"), 0.0); }

void TXMJSONImport::setScaleFactor(double scaleFactor) { setItem(QStringLiteral("scaleFactor"), scaleFactor); }

std::optional<int> TXMJSONImport::toInt32(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    // The range test comes first: converting an out-of-range double to int is undefined.
    if (!(number >= double(std::numeric_limits<int>::min()) && number <= double(std::numeric_limits<int>::max())))
        return std::nullopt;
    if (std::trunc(number) != number)
        return std::nullopt;
    return int(number);
}

std::optional<double> TXMJSONImport::getOptionalDouble(const QString& key) const
{
    if (!isItemDouble(key))
        return std::nullopt;
    return getItemDouble(key);
}

void TXMJSONImport::setOptionalDouble(const QString& key, const std::optional<double>& value)
{
    if (value)
        setItem(key, *value);
    else
        removeItem(key);
}

} // namespace Tarvex
