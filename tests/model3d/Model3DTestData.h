#pragma once

#include "support/RecordingProgress.h"
#include <tarvex/model3d/Tarvex3DDomModel.h>

#include <QBuffer>
#include <QByteArray>
#include <QString>

#include <ostream>

/// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace Model3DTest {

/// The layouts the tests' libraries use, those of the sample library.
inline QByteArray defaultDescriptions()
{
    return "<DataDescriptions>\n"
           "<Metal><Column name=\"Temperature\" unit=\"C\"/><Column name=\"Conductivity\" unit=\"S/m\"/></Metal>\n"
           "<Thermal><Column name=\"Temperature\" unit=\"C\"/><Column name=\"Conductivity\" unit=\"W/(m*K)\"/>"
           "<Column name=\"Density\" unit=\"kg/m^3\"/><Column name=\"Specific heat\" unit=\"J/(kg*K)\"/>"
           "<Column name=\"Emissivity\"/><Column name=\"Solar Reflectance\"/></Thermal>\n"
           "<Structural>\n"
           "<Elasticity><Column name=\"Temperature\" unit=\"C\"/><Column name=\"Youngs Modulus\" unit=\"Pa\"/>"
           "<Column name=\"Poissons Ratio\"/></Elasticity>\n"
           "<CTE><Column name=\"Temperature\" unit=\"C\"/><Column name=\"CTE\" unit=\"1/C\"/></CTE>\n"
           "</Structural>\n"
           "</DataDescriptions>\n";
}

/// A library file holding `materials` (the XML of "Material" elements) laid out by
/// `descriptions`.
inline QByteArray library(const QByteArray& materials, const QByteArray& descriptions = defaultDescriptions())
{
    return "<?xml version=\"1.0\"?>\n<Norvane_Material_Lib Version=\"1.05\">\n" + descriptions + materials +
           "</Norvane_Material_Lib>\n";
}

/// One material with a "Thermal" table (and optional further elements).
inline QByteArray material(const QByteArray& name, const QByteArray& thermalRows, const QByteArray& more = QByteArray())
{
    return "<Material name=\"" + name + "\">\n<Thermal><Model>\n" + thermalRows + "</Model></Thermal>\n" + more +
           "</Material>\n";
}

/// Reads `bytes` as the reader reads a device.
inline Tarvex3D::Tarvex3DDomModel parse(const QByteArray& bytes, Tools::RecordingProgress* progress = nullptr)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return Tarvex3D::Tarvex3DDomModel::fromData(&buffer, progress);
}

/// The sample library made for the README.
inline QString sampleLibrary() { return QStringLiteral(TARVEX_SAMPLES "/materials.xml"); }

/// Kelvin of a Celsius temperature, as the host converter computes it.
inline double kelvin(double celsius) { return celsius + 273.15; }

} // namespace Model3DTest
