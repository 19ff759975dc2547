#pragma once

#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/Model.h>
#include <tarvex/import/TarvexImporter.h>
#include <tarvex/objectbuild/TarvexObjectBuilder.h>
#include <tarvex/render/ModelSceneBuilder.h>
#include <tarvex/render/ObjectSceneBuilder.h>

#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>
#include <memory>

// Scenes of files we wrote, and an SVG read back into what a person would look for in it.
namespace RenderTest {

inline QString sampleBoard()
{
    return QStringLiteral(TARVEX_SAMPLES "/board.xml");
}

inline QString renderData(const QString& name)
{
    return QStringLiteral(TARVEX_TEST_DATA "/render/") + name;
}

inline QString builderData(const QString& name)
{
    return QStringLiteral(TARVEX_TEST_DATA "/builders/") + name;
}

/// A model that `path` was imported into, as `tarvex import` builds it.
struct ImportedModel
{
    std::unique_ptr<EntityModel::Model> model = EntityModel::Model::createDefault();
    EntityModel::Entity* chassis = EntityModel::EntityFetcher::getChassis(model->getRoot());

    explicit ImportedModel(const QString& path)
    {
        Geometry::GeometryBuilder geometry;
        Tarvex::TarvexImporter importer(chassis, nullptr, &geometry);
        importer.importModel(path, false);
    }
    Render::RenderScene scene() const { return Render::ModelSceneBuilder::build(*chassis); }
};

/// The scene of the interchange file at `path`, before any import.
inline Render::RenderScene fileScene(const QString& path, const QString& name = QString())
{
    Tarvex::TarvexObjectBuilder builder(nullptr);
    if (!builder.readFile(path))
        return Render::RenderScene();
    builder.buildTree();
    return Render::ObjectSceneBuilder::build(builder.takeObjects(), name);
}

/// One drawn element of an SVG: its tag, the box of its points and its fill.
struct SvgShape
{
    QString tag;
    QRectF box;
    QString fill;
};

/// A text of an SVG and where it starts.
struct SvgText
{
    QString text;
    QPointF at;
};

/// What an SVG that QSvgGenerator wrote draws (its groups carry no transform but the identity).
struct SvgContent
{
    QVector<SvgShape> shapes;
    QVector<SvgText> texts;
    QString title;
    bool wellFormed = false;

    explicit SvgContent(const QByteArray& svg)
    {
        QXmlStreamReader reader(svg);
        QStringList fills{QStringLiteral("none")};
        while (!reader.atEnd()) {
            const QXmlStreamReader::TokenType token = reader.readNext();
            if (token == QXmlStreamReader::EndElement && reader.name() == QLatin1String("g"))
                fills.removeLast();
            if (token != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes attributes = reader.attributes();
            const auto number = [&attributes](const char* name) { return attributes.value(name).toDouble(); };
            const QString tag = reader.name().toString();
            if (tag == QLatin1String("g")) {
                fills.append(attributes.hasAttribute("fill") ? attributes.value("fill").toString() : fills.last());
            } else if (tag == QLatin1String("title")) {
                title = reader.readElementText();
            } else if (tag == QLatin1String("text")) {
                const QPointF at(number("x"), number("y"));
                texts.append(SvgText{reader.readElementText(), at});
            } else if (tag == QLatin1String("rect")) {
                shapes.append({tag, QRectF(number("x"), number("y"), number("width"), number("height")), fills.last()});
            } else if (tag == QLatin1String("circle")) {
                const double r = number("r");
                shapes.append({tag, QRectF(number("cx") - r, number("cy") - r, 2 * r, 2 * r), fills.last()});
            } else if (tag == QLatin1String("path") || tag == QLatin1String("polygon") || tag == QLatin1String("polyline")) {
                const QString points = attributes.value(tag == QLatin1String("path") ? "d" : "points").toString();
                shapes.append({tag, boxOfNumbers(points), fills.last()});
            }
        }
        wellFormed = !reader.hasError();
    }

    QStringList textList() const
    {
        QStringList list;
        for (const SvgText& text : texts)
            list.append(text.text);
        return list;
    }
    /// Where the text `text` stands; (-1, -1) when it is not drawn.
    QPointF textAt(const QString& text) const
    {
        for (const SvgText& found : texts) {
            if (found.text == text)
                return found.at;
        }
        return QPointF(-1, -1);
    }
    int count(const QString& tag) const
    {
        return int(std::count_if(shapes.begin(), shapes.end(), [&tag](const SvgShape& shape) { return shape.tag == tag; }));
    }
    /// The largest outline drawn (the board's, in a plan view).
    QRectF largest() const
    {
        QRectF best;
        for (const SvgShape& shape : shapes) {
            if (shape.tag != QLatin1String("rect") && shape.box.width() * shape.box.height() > best.width() * best.height())
                best = shape.box;
        }
        return best;
    }
private:
    static QRectF boxOfNumbers(const QString& text)
    {
        QRegularExpressionMatchIterator numbers =
            QRegularExpression(QStringLiteral("-?\\d+(\\.\\d+)?(e-?\\d+)?")).globalMatch(text);
        QVector<double> values;
        while (numbers.hasNext())
            values.append(numbers.next().captured(0).toDouble());
        if (values.size() < 2)
            return QRectF();
        QPointF low(values[0], values[1]);
        QPointF high = low;
        for (int i = 2; i + 1 < values.size(); i += 2) {
            low = QPointF(std::min(low.x(), values[i]), std::min(low.y(), values[i + 1]));
            high = QPointF(std::max(high.x(), values[i]), std::max(high.y(), values[i + 1]));
        }
        return QRectF(low, high);
    }
};

} // namespace RenderTest
