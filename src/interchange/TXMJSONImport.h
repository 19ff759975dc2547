#pragma once

#include <tarvex/host/BasicJsonObject.h>

#include <QJsonObject>
#include <QMap>
#include <QString>

#include <optional>

namespace Tarvex {

/// One entry of the "Import" list of a JSON interchange file: a file to import and where
/// to place what it brings.
class TXMJSONImport : public InterProcess::Types::BasicJsonObject
{
public:
    /// The null object.
    TXMJSONImport() = default;
    /// An import entry around `object`.
    explicit TXMJSONImport(const QJsonObject& object);
    ~TXMJSONImport() override;

    /// "name"; empty when absent.
    QString getName() const;
    /// Writes "name".
    void setName(const QString& name);
    /// "type"; empty when absent.
    QString getType() const;
    /// Writes "type".
    void setType(const QString& type);
    /// "file": the path to import, absolute or relative to the JSON file's folder.
    QString getFile() const;
    /// Writes "file".
    void setFile(const QString& file);
    /// "belongTo"; empty when absent.
    QString getBelongTo() const;
    /// Writes "belongTo".
    void setBelongTo(const QString& owner);

    /// "priority": each key of the object with its value as a 32-bit integer (0 when the
    /// value is not one); empty when "priority" is absent or not an object.
    QMap<QString, int> getPriority() const;
    /// Writes "priority" as an object of the given names and priorities.
    void setPriority(const QMap<QString, int>& priority);

    /// "CENX", in the file's length unit: target centre x of the imported footprint; empty
    /// unless the key holds a number.
    std::optional<double> getCenterX() const;
    /// Writes "CENX", or removes it when `value` is empty.
    void setCenterX(const std::optional<double>& value);
    /// "CENY", in the file's length unit: target centre y; empty unless a number.
    std::optional<double> getCenterY() const;
    /// Writes "CENY", or removes it when `value` is empty.
    void setCenterY(const std::optional<double>& value);
    /// "MINZ", in the file's length unit: target bottom z; empty unless a number.
    std::optional<double> getMinimumZ() const;
    /// Writes "MINZ", or removes it when `value` is empty.
    void setMinimumZ(const std::optional<double>& value);

    /// "faceUp"; false when absent.
    bool getFaceUp() const;
    /// Writes "faceUp".
    void setFaceUp(bool faceUp);
    /// "orientation"; empty when absent.
    QString getOrientation() const;
    /// Writes "orientation".
    void setOrientation(const QString& orientation);
    /// "scaleFactor"; 0.0 when absent.
    double getScaleFactor() const;
    /// Writes "scaleFactor".
    void setScaleFactor(double scaleFactor);

    /// `value` as a 32-bit integer: a number without fraction inside the int range;
    /// empty for anything else.
    static std::optional<int> toInt32(const QJsonValue& value);

private:
    std::optional<double> getOptionalDouble(const QString& key) const;
    void setOptionalDouble(const QString& key, const std::optional<double>& value);
};

} // namespace Tarvex
