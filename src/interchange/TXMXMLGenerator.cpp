#include <tarvex/interchange/TXMXMLGenerator.h>

#include <tarvex/interchange/TXMXMLModel.h>

#include <QBuffer>
#include <QDomNamedNodeMap>
#include <QLocale>
#include <QVector>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>
#include <utility>

namespace Tarvex {

namespace {

// Sums of rounded values drift in the last bits (0.035 + 0.2 is not 0.235); rounding them
// again keeps the text short.
double round3(double value) { return std::round(value * 1000.0) / 1000.0; }

// SplitMix64: small, fast, and the same sequence with every compiler and library, which
// the standard distributions do not promise.
class Random
{
public:
    explicit Random(quint64 seed) : m_state(seed) {}

    quint64 next()
    {
        quint64 z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    /// A value in [low, high], rounded to three decimals so that the text stays short.
    double between(double low, double high)
    {
        const double unit = double(next() >> 11) * 0x1.0p-53;
        return round3(low + (high - low) * unit);
    }
    /// One of 0 .. count - 1.
    int pick(int count) { return int(next() % quint64(count)); }

private:
    quint64 m_state;
};

struct Rect
{
    double x0, y0, x1, y1;
};

// Values are in millimetres (the unit set says so).
constexpr double slotPitch = 20.0;
constexpr double boardMargin = 5.0;
constexpr double metalThickness = 0.035;
constexpr double dielectricThickness = 0.2;
constexpr double ballHeight = 0.3;
constexpr double substrateThickness = 0.5;
constexpr double dieThickness = 0.3;
constexpr double moldThickness = 0.8;

QString number(double value) { return QString::number(value, 'g', QLocale::FloatingPointShortest); }

// One file's worth of writing: the document being filled and the random sequence.
class Writer
{
public:
    explicit Writer(const TXMXMLGeneratorOptions& options) : m_options(options), m_random(options.seed) {}

    TarvexTXMXMLDocument run()
    {
        const QString rootTag = m_options.legacy ? QStringLiteral("NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL")
                                                 : QStringLiteral("TARVEX_INTERCHANGE_MODEL");
        m_document = InterProcess::XMLDOMDocument::create(rootTag);
        TXMXMLModel model(m_document.getRootElement());
        if (!m_options.legacy)
            model.setSchemaVersion(TXMFileVersion::current());

        model.setUnitSet(unitSet());
        model.setMaterialSet(materialSet());
        LegacyXMLSimplificationOptions options = create<LegacyXMLSimplificationOptions>("SimplificationOptions");
        if (m_options.legacy)
            model.setChildElement(QStringLiteral("SimplifictionOptions"), options);
        else
            model.setSimplificationOptions(options);

        const int slots = std::max(m_options.components, 1);
        m_columns = int(std::ceil(std::sqrt(double(slots))));
        const int rows = (slots + m_columns - 1) / m_columns;
        m_board = Rect{0.0, 0.0, 2 * boardMargin + m_columns * slotPitch, 2 * boardMargin + rows * slotPitch};

        QList<LegacyXMLSimplificationModel> grids{grid(QStringLiteral("PCB"))};
        board();
        for (int index = 0; index < m_options.components; ++index)
            component(index, grids);
        solderBalls();

        TXMXMLGeomSet geomSet = create<TXMXMLGeomSet>("GEOMSet");
        geomSet.setGeoms(m_geoms);
        model.setGeomSet(geomSet);
        options.setModels(grids);
        if (!m_options.legacy) {
            TXMXMLLayoutSet layouts = create<TXMXMLLayoutSet>("LayoutSet");
            layouts.setIncludes(m_layouts);
            model.setLayoutSet(layouts);
        }
        TXMXMLPower2DSourceSet sources = create<TXMXMLPower2DSourceSet>("Power2DSourceSet");
        sources.setPower2DSources(m_sources);
        model.setPower2DSourceSet(sources);
        TXMXMLTerminalSet terminals = create<TXMXMLTerminalSet>("TerminalSet");
        terminals.setTerminalGroups(m_groups);
        model.setTerminalSet(terminals);
        TXMXMLSolderBallSet balls = create<TXMXMLSolderBallSet>("SolderBallSet");
        balls.setSolderBalls(m_balls);
        model.setSolderBallSet(balls);
        TXMXMLSolderBumpSet bumps = create<TXMXMLSolderBumpSet>("SolderBumpSet");
        bumps.setSolderBumps(m_bumps);
        model.setSolderBumpSet(bumps);
        return TarvexTXMXMLDocument(m_document);
    }

private:
    template <typename Wrapper>
    Wrapper create(const char* tag)
    {
        return Wrapper(m_document.createElement(QString::fromLatin1(tag)));
    }

    TXMXMLUnitSet unitSet()
    {
        TXMXMLUnitSet units = create<TXMXMLUnitSet>("UNITSet");
        TXMXLMUnitSetLength length = create<TXMXLMUnitSetLength>("Length");
        length.setUnit(QStringLiteral("mm"));
        units.setLength(length);
        TXMXLMUnitSetPower power = create<TXMXLMUnitSetPower>("Power");
        power.setUnit(QStringLiteral("W"));
        units.setPower(power);
        TXMXLMUnitSetConductivity conductivity = create<TXMXLMUnitSetConductivity>("Conductivity");
        conductivity.setUnit(QStringLiteral("W/(m-K)"));
        units.setConductivity(conductivity);
        TXMXLMUnitSetDensity density = create<TXMXLMUnitSetDensity>("Density");
        density.setUnit(QStringLiteral("kg/(m^3)"));
        units.setDensity(density);
        TXMXLMUnitSetSpecificHeat specificHeat = create<TXMXLMUnitSetSpecificHeat>("SpecificHeat");
        specificHeat.setUnit(QStringLiteral("J/(kg-K)"));
        units.setSpecificHeat(specificHeat);
        return units;
    }

    TXMXMLMaterialSet materialSet()
    {
        struct Values
        {
            const char* name;
            double k, density, specificHeat, emissivity;
        };
        const Values isotropic[] = {{"Copper", 385, 8933, 385, 0.05},     {"Silicon", 148, 2330, 712, 0},
                                    {"MoldCompound", 0.9, 1970, 880, 0.9}, {"Aluminium", 205, 2700, 900, 0.8},
                                    {"SAC305", 58, 7400, 230, 0},          {"Ceramic", 24, 3900, 880, 0.85}};
        QList<TXMXMLMaterial> materials;
        TXMXMLMaterial fr4 = create<TXMXMLMaterial>("Material");
        fr4.setName(QStringLiteral("FR4"));
        fr4.setKx(0.8);
        fr4.setKy(0.8);
        fr4.setKz(0.3);
        fr4.setDensity(1900);
        fr4.setSpecificHeat(1150);
        fr4.setEmissivity(0.9);
        materials.append(fr4);
        for (const Values& values : isotropic) {
            TXMXMLMaterial material = create<TXMXMLMaterial>("Material");
            material.setName(QString::fromLatin1(values.name));
            material.setK(values.k);
            material.setDensity(values.density);
            material.setSpecificHeat(values.specificHeat);
            if (values.emissivity > 0)
                material.setEmissivity(values.emissivity);
            materials.append(material);
        }
        TXMXMLMaterialSet set = create<TXMXMLMaterialSet>("MaterialSet");
        set.setMaterials(materials);
        return set;
    }

    LegacyXMLSimplificationModel grid(const QString& objectName)
    {
        LegacyXMLSimplificationModel model = create<LegacyXMLSimplificationModel>("Model");
        model.setObjectName(objectName);
        const int nx = 2 + m_random.pick(19);
        const int ny = 2 + m_random.pick(19);
        if (m_options.legacy) {
            model.setAttributeInt32(QStringLiteral("Nx"), nx);
            model.setAttributeInt32(QStringLiteral("Ny"), ny);
        } else {
            model.setNX(nx);
            model.setNY(ny);
        }
        return model;
    }

    TXMXMLGeom footprint(const QString& objectName, const QString& name, const QString& type, const Rect& rect,
                         double z, double height)
    {
        TXMXMLGeom geom = create<TXMXMLGeom>("Geom");
        geom.setObjectName(objectName);
        geom.setName(name);
        geom.setType(type);
        geom.setDz(height);
        const std::pair<double, double> corners[] = {
            {rect.x0, rect.y0}, {rect.x1, rect.y0}, {rect.x1, rect.y1}, {rect.x0, rect.y1}};
        QList<TXMXMLGeomNode> nodes;
        for (const auto& corner : corners) {
            TXMXMLGeomNode node = create<TXMXMLGeomNode>("node");
            node.setX(corner.first);
            node.setY(corner.second);
            node.setZ(z);
            nodes.append(node);
        }
        geom.setNodes(nodes);
        m_geoms.append(geom);
        return geom;
    }

    // The older files name a layer's material by its role, and the layout of a signal
    // layer by its metal density file, on the footprint itself.
    void layerMaterial(TXMXMLGeom& geom, const QString& metal, const QString& dielectric, const QString& densityFile)
    {
        if (m_options.legacy) {
            if (!metal.isEmpty())
                geom.setAttributeString(QStringLiteral("MetalMat"), metal);
            if (!dielectric.isEmpty())
                geom.setAttributeString(QStringLiteral("DieletricMat"), dielectric);
            if (!densityFile.isEmpty())
                geom.setAttributeString(QStringLiteral("MetalDensityFile"), densityFile);
            return;
        }
        if (metal.isEmpty() || dielectric.isEmpty()) {
            geom.setMatName(metal.isEmpty() ? dielectric : metal);
            return;
        }
        TXMXMLLayoutInclude include = create<TXMXMLLayoutInclude>("Include");
        include.setFile(densityFile);
        include.setMetalMat(metal);
        include.setDielectricMat(dielectric);
        include.setObjectName(geom.getName());
        m_layouts.append(include);
    }

    // Layers alternate metal and dielectric from the bottom; the outer metal layers carry
    // a signal layout, the inner ones are plain planes.
    void board()
    {
        const QString copper = QStringLiteral("Copper");
        const QString fr4 = QStringLiteral("FR4");
        double z = 0.0;
        for (int layer = 0; layer < m_options.layers; ++layer) {
            const bool metal = layer % 2 == 0;
            const bool outer = layer == 0 || layer == m_options.layers - 1;
            const double thickness = metal ? metalThickness : dielectricThickness;
            const int cells = 1 + m_random.pick(2);
            const double split = m_random.between(m_board.x1 * 0.3, m_board.x1 * 0.7);
            for (int cell = 0; cell < cells; ++cell) {
                const QString name = cells == 1 ? QStringLiteral("L%1").arg(layer + 1)
                                                : QStringLiteral("L%1_%2").arg(layer + 1).arg(cell + 1);
                Rect rect = m_board;
                if (cells == 2)
                    (cell == 0 ? rect.x1 : rect.x0) = split;
                TXMXMLGeom geom = footprint(QStringLiteral("PCB"), name, QStringLiteral("PCB"), rect, z, thickness);
                if (metal && outer) {
                    const QString file = m_random.pick(2) ? name + QStringLiteral(".layout") : QString();
                    layerMaterial(geom, copper, fr4, file);
                } else {
                    layerMaterial(geom, metal ? copper : QString(), metal ? QString() : fr4, QString());
                }
            }
            z = round3(z + thickness);
        }
        m_boardTop = z;
    }

    void component(int index, QList<LegacyXMLSimplificationModel>& grids)
    {
        const double x = boardMargin + (index % m_columns) * slotPitch;
        const double y = boardMargin + (index / m_columns) * slotPitch;
        switch (m_random.pick(4)) {
        case 0:
            block(index, x, y);
            break;
        case 1:
            twoResistor(index, x, y);
            break;
        case 2:
            package(index, x, y, grids);
            break;
        default:
            heatSink(index, x, y);
            break;
        }
    }

    Rect place(double x, double y, double width, double depth)
    {
        const double left = round3(x + (slotPitch - width) / 2);
        const double bottom = round3(y + (slotPitch - depth) / 2);
        return Rect{left, bottom, round3(left + width), round3(bottom + depth)};
    }

    void block(int index, double x, double y)
    {
        const QString name = QStringLiteral("B%1").arg(index + 1);
        const Rect rect = place(x, y, m_random.between(3, 15), m_random.between(3, 15));
        TXMXMLGeom geom = footprint(name, name, QStringLiteral("Block"), rect, m_boardTop, m_random.between(0.5, 5));
        const char* materials[] = {"FR4", "Ceramic", "MoldCompound"};
        geom.setMatName(QString::fromLatin1(materials[m_random.pick(3)]));
        geom.setPower(m_random.between(0, 2));
    }

    void twoResistor(int index, double x, double y)
    {
        const QString name = QStringLiteral("R%1").arg(index + 1);
        // Older files mark compact models in the object name.
        const char* suffixes[] = {"_JB", "_JC", "_JB_JC"};
        // Drawn in both layouts, so that they stay alike.
        const int suffix = m_random.pick(3);
        const QString objectName = m_options.legacy ? name + QLatin1String(suffixes[suffix]) : name;
        const double size = m_random.between(4, 12);
        TXMXMLGeom geom = footprint(objectName, name, QStringLiteral("TwoResistor"), place(x, y, size, size), m_boardTop,
                                    m_random.between(0.8, 3));
        geom.setMatName(QStringLiteral("MoldCompound"));
        geom.setPower(m_random.between(0.1, 5));
        geom.setThetaJB(m_random.between(2, 30));
        geom.setThetaJC(m_random.between(0.5, 10));
    }

    void package(int index, double x, double y, QList<LegacyXMLSimplificationModel>& grids)
    {
        const QString name = QStringLiteral("U%1").arg(index + 1);
        const QString type = QStringLiteral("Package");
        const double size = m_random.between(8, 16);
        const Rect substrate = place(x, y, size, size);
        const double dieSize = round3(size * 0.4);
        const Rect die = place(x, y, dieSize, dieSize);
        const double substrateZ = round3(m_boardTop + ballHeight);
        const double topZ = round3(substrateZ + substrateThickness);
        TXMXMLGeom base = footprint(name, name + QStringLiteral("_Substrate"), type, substrate, substrateZ, substrateThickness);
        base.setMatName(QStringLiteral("FR4"));
        TXMXMLGeom chip = footprint(name, name + QStringLiteral("_Die"), type, die, topZ, dieThickness);
        chip.setMatName(QStringLiteral("Silicon"));
        const double power = m_random.between(0.5, 10);
        chip.setPower(power);
        TXMXMLGeom mold = footprint(name, name + QStringLiteral("_Mold"), type, substrate, topZ, moldThickness);
        mold.setMatName(QStringLiteral("MoldCompound"));
        m_packages.append({substrate, die, topZ});
        grids.append(grid(name));

        TXMXMLPower2DSource source = create<TXMXMLPower2DSource>("Power2DSource");
        source.setName(name + QStringLiteral("_Heat"));
        footprintName(source, name);
        source.setXll(die.x0);
        source.setYll(die.y0);
        source.setDx(dieSize);
        source.setDy(dieSize);
        source.setNormal(QStringLiteral("z+"));
        source.setPower(power);
        source.setPowerScale(m_random.between(0.5, 1.5));
        if (m_random.pick(2))
            source.setRotation(90);
        const char* flips[] = {"", "x", "y"};
        const QString flip = QString::fromLatin1(flips[m_random.pick(3)]);
        if (!flip.isEmpty())
            source.setFlip(flip);
        m_sources.append(source);

        TXMXMLTerminalGroup group = create<TXMXMLTerminalGroup>("TerminalGroup");
        group.setName(name + QStringLiteral("_Pins"));
        group.setConnectionType(QStringLiteral("Board"));
        group.setTerminalType(m_random.pick(2) ? TerminalGroupTerminalType::Lump : TerminalGroupTerminalType::Separate);
        QList<TXMXMLTerminal> terminals;
        for (const char* pin : {"_VDD", "_GND"}) {
            TXMXMLTerminal terminal = create<TXMXMLTerminal>("Terminal");
            terminal.setName(name + QLatin1String(pin));
            footprintName(terminal, base.getName());
            // Terminals give their normal as a vector; the "z-" of heat sources means nothing here.
            terminal.setNormal(QStringLiteral("(0, 0, -1)"));
            terminal.setNX(1 + m_random.pick(8));
            terminal.setNY(1 + m_random.pick(8));
            terminals.append(terminal);
        }
        group.setTerminals(terminals);
        m_groups.append(group);
    }

    // Older files name the footprint of terminals and heat sources in "GeomName".
    void footprintName(InterProcess::XMLDOMNode& element, const QString& name)
    {
        element.setAttributeString(m_options.legacy ? QStringLiteral("GeomName") : QStringLiteral("ObjectName"), name);
    }

    void heatSink(int index, double x, double y)
    {
        const QString name = QStringLiteral("HS%1").arg(index + 1);
        const QString& type = TXMXMLGeom::heatSinkType();
        const QString aluminium = QStringLiteral("Aluminium");
        const Rect base = place(x, y, m_random.between(8, 18), m_random.between(8, 18));
        const double baseHeight = 2.0;
        footprint(name, name, type, base, m_boardTop, baseHeight).setMatName(aluminium);
        const int fins = 3 + m_random.pick(4);
        const double finHeight = m_random.between(5, 15);
        const double step = (base.x1 - base.x0 - 0.8) / (fins - 1);
        for (int fin = 0; fin < fins; ++fin) {
            const double left = round3(base.x0 + fin * step);
            const Rect rect{left, base.y0, round3(left + 0.8), base.y1};
            footprint(name, name, type, rect, round3(m_boardTop + baseHeight), finHeight).setMatName(aluminium);
        }
    }

    template <typename Ball>
    Ball solderBall(const char* tag, const QString& name, double x, double y, double z, double diameter)
    {
        Ball ball = create<Ball>(tag);
        ball.setName(name);
        ball.setMatName(QStringLiteral("SAC305"));
        ball.setD1(diameter);
        ball.setD2(diameter);
        ball.setDMax(round3(diameter * 1.25));
        ball.setHeight(round3(diameter * 0.75));
        ball.setPosition(number(x) + QLatin1Char(',') + number(y) + QLatin1Char(',') + number(z));
        return ball;
    }

    // A square grid of `count` points spread over `rect`; point `index` of it.
    static std::pair<double, double> gridPoint(const Rect& rect, int index, int count)
    {
        const int side = std::max(1, int(std::ceil(std::sqrt(double(count)))));
        const double dx = (rect.x1 - rect.x0) / side;
        const double dy = (rect.y1 - rect.y0) / side;
        return {round3(rect.x0 + dx * (index % side + 0.5)), round3(rect.y0 + dy * (index / side + 0.5))};
    }

    // Balls go under the packages' substrates and bumps under their dies, dealt out in
    // turn; without packages both spread over the board.
    void solderBalls()
    {
        const int count = m_options.balls;
        const int holders = std::max(1, int(m_packages.size()));
        const int perHolder = (count + holders - 1) / holders;
        for (int index = 0; index < count; ++index) {
            const int holder = index % holders;
            const int slot = index / holders;
            const bool onBoard = m_packages.isEmpty();
            const Rect ballArea = onBoard ? m_board : m_packages[holder].substrate;
            const Rect bumpArea = onBoard ? m_board : m_packages[holder].die;
            const double ballZ = m_boardTop;
            const double bumpZ = onBoard ? m_boardTop : m_packages[holder].substrateTop;
            const auto ball = gridPoint(ballArea, slot, perHolder);
            m_balls.append(solderBall<TXMXMLSolderBall>("SolderBall", QStringLiteral("SB%1").arg(index + 1), ball.first,
                                                        ball.second, ballZ, 0.4));
            const auto bump = gridPoint(bumpArea, slot, perHolder);
            m_bumps.append(solderBall<TXMXMLSolderBump>("SolderBump", QStringLiteral("BP%1").arg(index + 1), bump.first,
                                                        bump.second, bumpZ, 0.08));
        }
    }

    struct Package
    {
        Rect substrate;
        Rect die;
        double substrateTop;
    };

    const TXMXMLGeneratorOptions& m_options;
    Random m_random;
    InterProcess::XMLDOMDocument m_document;
    Rect m_board{0, 0, 0, 0};
    double m_boardTop = 0.0;
    int m_columns = 1;
    QList<TXMXMLGeom> m_geoms;
    QList<TXMXMLLayoutInclude> m_layouts;
    QList<TXMXMLPower2DSource> m_sources;
    QList<TXMXMLTerminalGroup> m_groups;
    QList<TXMXMLSolderBall> m_balls;
    QList<TXMXMLSolderBump> m_bumps;
    QVector<Package> m_packages;
};

void writeNode(QXmlStreamWriter& writer, const QDomNode& node)
{
    for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling()) {
        if (child.isElement()) {
            const QDomElement element = child.toElement();
            writer.writeStartElement(element.tagName());
            const QDomNamedNodeMap map = element.attributes();
            QVector<QDomAttr> attributes;
            attributes.reserve(map.count());
            for (int index = 0; index < map.count(); ++index)
                attributes.append(map.item(index).toAttr());
            std::sort(attributes.begin(), attributes.end(),
                      [](const QDomAttr& a, const QDomAttr& b) { return a.name() < b.name(); });
            for (const QDomAttr& attribute : attributes)
                writer.writeAttribute(attribute.name(), attribute.value());
            writeNode(writer, element);
            writer.writeEndElement();
        } else if (child.isCDATASection()) {
            writer.writeCDATA(child.nodeValue());
        } else if (child.isText()) {
            writer.writeCharacters(child.nodeValue());
        } else if (child.isComment()) {
            writer.writeComment(child.nodeValue());
        }
    }
}

} // namespace

TXMXMLGenerator::TXMXMLGenerator(const TXMXMLGeneratorOptions& options) : m_options(options) {}

TarvexTXMXMLDocument TXMXMLGenerator::generate() const { return Writer(m_options).run(); }

QByteArray TXMXMLGenerator::toXml(const InterProcess::XMLDOMDocument& document)
{
    QByteArray bytes;
    if (document.isNull())
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&buffer);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(1);
    writer.writeStartDocument();
    writeNode(writer, document.toQtDocument());
    writer.writeEndDocument();
    return bytes;
}

} // namespace Tarvex
