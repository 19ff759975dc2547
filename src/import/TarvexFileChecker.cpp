#include <tarvex/import/TarvexFileChecker.h>

#include <tarvex/host/ForwardingProgress.h>
#include <tarvex/host/TypeCatalogue.h>
#include <tarvex/host/UnitConverter.h>
#include <tarvex/import/TarvexImportListEntry.h>
#include <tarvex/interchange/TXMJSONFile.h>
#include <tarvex/interchange/TarvexTXMJsonParser.h>
#include <tarvex/maps/TarvexLegacyPowerMapReader.h>
#include <tarvex/maps/TarvexMaterialMapImporter.h>
#include <tarvex/maps/TarvexPowerMapImporter.h>
#include <tarvex/objectbuild/TarvexObjectBuilder.h>
#include <tarvex/objectbuild/TarvexObjectTreeChecker.h>
#include <tarvex/objects/TarvexBasicPart.h>
#include <tarvex/objects/TarvexLayeredPart.h>
#include <tarvex/objects/TarvexMaterialMap.h>
#include <tarvex/objects/TarvexPartVisitorConst.h>
#include <tarvex/objects/TarvexPowerSourceLegacyPowerMap.h>
#include <tarvex/objects/TarvexPowerSourcePowerMap.h>
#include <tarvex/objects/TarvexPowerSourceVisitorConst.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <new>
#include <stdexcept>

namespace Tarvex {

namespace {

using ProblemKind = TarvexFileProblem::Kind;

QString tr(const char* text) { return QCoreApplication::translate("Tarvex::TarvexFileChecker", text); }

using Message = Tools::ForwardingProgress::Message;

constexpr Tools::ForwardingProgress::Keeping KeepProblems = Tools::ForwardingProgress::Keeping::Problems;

// A message's text as one line of a report.
QString oneLine(const Message& message)
{
    return QString(message.text).replace(QLatin1Char('\n'), QStringLiteral(", "));
}

// The texts joined, or `otherwise` when there is none.
QString joined(const std::vector<Message>& messages, const QString& otherwise)
{
    QStringList texts;
    for (const Message& message : messages)
        texts << oneLine(message);
    return texts.isEmpty() ? otherwise : texts.join(QStringLiteral("; "));
}

// What the object builder's messages say, by their words: the kind and the capture that names
// the subject (0: none). A message none of them matches is reported as it is.
struct MessagePattern
{
    QRegularExpression pattern;
    ProblemKind kind;
    int subject;
};

const std::vector<MessagePattern>& builderPatterns()
{
    static const std::vector<MessagePattern> patterns = {
        {QRegularExpression(QStringLiteral("^No material found for (?:Geom|Solderball|SolderBump) : (.*)$")),
         ProblemKind::MissingMaterial, 1},
        {QRegularExpression(QStringLiteral("^No material layout file found for Geom : (.*) - ")),
         ProblemKind::MissingFile, 1},
        {QRegularExpression(QStringLiteral("^(.*) : Material library .* does not exist$")),
         ProblemKind::MissingFile, 1},
        {QRegularExpression(QStringLiteral("^A material library include names no file")), ProblemKind::MissingFile, 0},
        {QRegularExpression(QStringLiteral("^(.*) : Power Map File .* does not exist$")), ProblemKind::MissingFile, 1},
        {QRegularExpression(QStringLiteral("^(.*) : Failed to Read : ")), ProblemKind::UnreadableFile, 1},
        {QRegularExpression(QStringLiteral("^Unknown unit \".*\" for (.*)$")), ProblemKind::UnknownUnit, 1},
        {QRegularExpression(QStringLiteral("^(.*): attribute \\S+ is not a finite number")),
         ProblemKind::InvalidValue, 1},
        {QRegularExpression(QStringLiteral("^Invalid position for (?:Solderball|SolderBump) : (.*)$")),
         ProblemKind::InvalidValue, 1},
        {QRegularExpression(QStringLiteral("^Geom (.*) has fewer than three nodes")), ProblemKind::InvalidValue, 1},
        {QRegularExpression(QStringLiteral("^The nodes of (.*) do not lie in one plane")),
         ProblemKind::InvalidValue, 1},
        {QRegularExpression(QStringLiteral("^Unsupported normal for heat source :(.*)$")),
         ProblemKind::InvalidValue, 1},
        {QRegularExpression(QStringLiteral("^No part .* for heat source (.*); it is left out$")),
         ProblemKind::MissingPart, 1},
    };
    return patterns;
}

// A map or layout file that the entity builders will read, with the first element naming it.
struct ReferencedFile
{
    enum class Reader { Layout, PowerMap, LegacyPowerMap };
    Reader reader;
    QString path;
    QString subject;
    QString metal;
    QString dielectric;
};

// Gathers the layouts of the cells and the power maps of the parts of a tree, each file once.
class ReferenceCollector : public TarvexPartVisitorConst, public TarvexPowerSourceVisitorConst
{
public:
    bool visitLayer(const TarvexLayeredPartLayer&) override { return true; }
    bool visitLayeredPart(const TarvexLayeredPart& part) override
    {
        addSources(part);
        return true;
    }
    bool visitBasicPart(const TarvexBasicPart& part) override
    {
        addSources(part);
        const auto* map = dynamic_cast<const TarvexMaterialMap*>(part.getMaterial().get());
        if (map && !map->getLayoutFile().isEmpty())
            add({ReferencedFile::Reader::Layout, map->getLayoutFile(), part.getName(true), map->getMetal()->getName(),
                 map->getDielectric()->getName()});
        return true;
    }
    void visitPowerMap(const TarvexPowerSourcePowerMap& source) override
    {
        add({ReferencedFile::Reader::PowerMap, source.getPowerMapFile(), source.getName(), {}, {}});
    }
    void visitLegacyPowerMap(const TarvexPowerSourceLegacyPowerMap& source) override
    {
        add({ReferencedFile::Reader::LegacyPowerMap, source.getPowerMapFile(), source.getName(), {}, {}});
    }

    void visitTree(const TarvexObject& node)
    {
        if (node.part)
            node.part->accept(*this);
        for (const std::unique_ptr<TarvexObject>& child : node.children) {
            if (child)
                visitTree(*child);
        }
    }

    std::vector<ReferencedFile> files;

private:
    void addSources(const TarvexPartBaseWithPowerSources& part)
    {
        for (const auto& source : part.getPowerSources()) {
            if (source)
                source->accept(*this);
        }
    }
    void add(const ReferencedFile& file)
    {
        // Missing files were reported while the tree was built.
        if (file.path.isEmpty() || !QFileInfo(file.path).isFile())
            return;
        const bool known = std::any_of(files.begin(), files.end(), [&](const ReferencedFile& seen) {
            return seen.path == file.path && seen.reader == file.reader;
        });
        if (!known)
            files.push_back(file);
    }
};

// What reading `file` with the reader the entity builders use says.
std::vector<Message> readReferencedFile(const ReferencedFile& file)
{
    Tools::ForwardingProgress recorder(nullptr, QString(), KeepProblems);
    switch (file.reader) {
    case ReferencedFile::Reader::Layout: {
        TarvexMaterialMapImporter importer(&recorder);
        importer.setForcedMetal(file.metal.toStdString());
        importer.setForcedDielectric(file.dielectric.toStdString());
        if (importer.readMaterialMapData(file.path).empty() && recorder.messages().empty())
            recorder.post(Tools::ToolProgress::Kind::FatalError, tr("it holds no layer"));
        break;
    }
    case ReferencedFile::Reader::PowerMap: {
        TarvexPowerMapImporter importer(&recorder);
        if (importer.readPowerMapData(file.path).empty() && recorder.messages().empty())
            recorder.post(Tools::ToolProgress::Kind::FatalError, tr("it holds no power map"));
        break;
    }
    case ReferencedFile::Reader::LegacyPowerMap:
        try {
            std::vector<TarvexPowerMapArea> areas;
            TarvexLegacyPowerMapReader().read(file.path, areas);
        } catch (const std::runtime_error& error) {
            recorder.post(Tools::ToolProgress::Kind::FatalError, QString::fromStdString(error.what()));
        }
        break;
    }
    return recorder.messages();
}

bool startsAsJson(QFile& file)
{
    char first = 0;
    const bool hasByte = file.getChar(&first);
    file.seek(0);
    return hasByte && (first == '{' || first == '[');
}

} // namespace

TarvexFileChecker::TarvexFileChecker() = default;

TarvexFileChecker::~TarvexFileChecker() = default;

std::vector<TarvexFileProblem> TarvexFileChecker::check(const QString& path)
{
    m_problems.clear();
    m_openLists.clear();
    m_checked.clear();
    const QFileInfo file(path);
    if (!file.exists())
        add(ProblemKind::MissingFile, path, QString(), tr("no such file"));
    else if (file.isDir())
        add(ProblemKind::UnreadableFile, path, QString(), tr("it is a directory"));
    else if (!file.isFile())
        add(ProblemKind::UnreadableFile, path, QString(), tr("it is not a regular file"));
    else
        checkFile(path);
    return std::move(m_problems);
}

void TarvexFileChecker::checkFile(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (m_openLists.contains(canonical)) {
        add(ProblemKind::Other, m_openLists.last(), QFileInfo(path).fileName(),
            tr("the import list %1 includes itself; it is not read again").arg(path));
        return;
    }
    if (m_checked.contains(canonical))
        return;
    m_checked.insert(canonical);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        add(ProblemKind::UnreadableFile, path, QString(), file.errorString());
        return;
    }
    if (startsAsJson(file)) {
        checkList(path, file);
        return;
    }
    file.close();
    checkModel(path);
}

void TarvexFileChecker::checkList(const QString& path, QIODevice& device)
{
    Tools::ForwardingProgress recorder(nullptr, QString(), KeepProblems);
    TarvexTXMJsonParser parser(&recorder);
    const TXMJSONFile list = parser.read(&device);
    if (!list) {
        add(ProblemKind::UnreadableFile, path, QString(), joined(recorder.messages(), tr("it is no import list")));
        return;
    }
    const QList<TXMJSONImport> imports = list.getModel().getImport();
    if (imports.isEmpty()) {
        add(ProblemKind::Other, path, QString(), tr("the list names no files to import"));
        return;
    }

    // The unit matters only to entries that are placed, as it does to the import.
    const EntityModel::TypeRef lengthUnit(list.getUnit().getLength().replace(QLatin1Char('-'), QLatin1Char(' ')));
    const bool placed = std::any_of(imports.begin(), imports.end(), [](const TXMJSONImport& entry) {
        return entry.isItemDouble(QStringLiteral("CENX")) || entry.isItemDouble(QStringLiteral("CENY")) ||
               entry.isItemDouble(QStringLiteral("MINZ"));
    });
    bool known = true;
    EntityModel::UnitConverter::instance().convertToSI(EntityModel::Length_t, 1.0, lengthUnit, &known);
    if (placed && !known)
        add(ProblemKind::UnknownUnit, path, EntityModel::Length_t.getLabel(),
            EntityModel::UnitConverter::describeUnknown(EntityModel::Length_t, lengthUnit) +
                tr("; the entries are not placed"));

    m_openLists.append(QFileInfo(path).canonicalFilePath());
    const QDir folder = QFileInfo(path).dir();
    for (const TXMJSONImport& entry : imports) {
        const QString written = entry.getItemString(QStringLiteral("file"));
        const QString resolved = locateListEntry(folder, written);
        const QFileInfo found(resolved);
        if (written.isEmpty())
            add(ProblemKind::MissingFile, path, QString(), tr("an entry names no file"));
        else if (!found.exists())
            add(ProblemKind::MissingFile, path, written, tr("the entry's file %1 does not exist").arg(resolved));
        else if (!found.isFile())
            add(ProblemKind::UnreadableFile, path, written,
                tr("the entry's file %1 is not a regular file").arg(resolved));
        else if (!found.isReadable())
            add(ProblemKind::UnreadableFile, path, written, tr("the entry's file %1 cannot be read").arg(resolved));
        else
            checkFile(resolved);
    }
    m_openLists.removeLast();
}

void TarvexFileChecker::checkModel(const QString& path)
{
    Tools::ForwardingProgress recorder(nullptr, QString(), KeepProblems);
    TarvexObjectBuilder builder(&recorder);
    bool read = false;
    bool flat = true;
    try {
        read = builder.readFile(path);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        // An outline that is not flat ends the reading; the builder named it.
        flat = false;
    }
    if (!read && flat) {
        // Only the parser's words say why; the builder's closing line names the path again.
        std::vector<Message> messages = recorder.messages();
        const auto closing = [](const Message& message) {
            return message.text.startsWith(QStringLiteral("Failed to read file : "));
        };
        messages.erase(std::remove_if(messages.begin(), messages.end(), closing), messages.end());
        add(ProblemKind::UnreadableFile, path, QString(), joined(messages, tr("it is no interchange model")));
        return;
    }
    for (const Message& message : recorder.messages()) {
        const QString text = oneLine(message);
        const auto pattern = std::find_if(builderPatterns().begin(), builderPatterns().end(),
                                          [&](const MessagePattern& known) {
                                              return known.pattern.match(text).hasMatch();
                                          });
        if (pattern == builderPatterns().end())
            add(ProblemKind::Other, path, QString(), text);
        else
            add(pattern->kind, path,
                pattern->subject > 0 ? pattern->pattern.match(text).captured(pattern->subject) : QString(),
                text);
    }
    if (!flat)
        return;

    builder.buildTree();
    const std::vector<std::unique_ptr<TarvexObject>> objects = builder.takeObjects();
    if (objects.empty())
        add(ProblemKind::Other, path, QString(), tr("the file holds nothing to import"));
    checkReferencedFiles(path, objects);
    for (TarvexFileProblem& problem : TarvexObjectTreeChecker(path).check(objects))
        m_problems.push_back(std::move(problem));
}

void TarvexFileChecker::checkReferencedFiles(const QString& path,
                                             const std::vector<std::unique_ptr<TarvexObject>>& objects)
{
    ReferenceCollector collector;
    for (const std::unique_ptr<TarvexObject>& object : objects) {
        if (object)
            collector.visitTree(*object);
    }
    for (const ReferencedFile& file : collector.files) {
        const std::vector<Message> messages = readReferencedFile(file);
        const QString what = file.reader == ReferencedFile::Reader::Layout ? tr("material layout %1")
                                                                            : tr("power map %1");
        for (const Message& message : messages)
            add(message.kind == Tools::ToolProgress::Kind::FatalError ? ProblemKind::UnreadableFile
                                                                      : ProblemKind::Other,
                path, file.subject, what.arg(file.path) + QStringLiteral(": ") + oneLine(message));
    }
}

void TarvexFileChecker::add(ProblemKind kind, const QString& file, const QString& subject, const QString& message)
{
    m_problems.push_back({kind, file, subject, message});
}

} // namespace Tarvex
