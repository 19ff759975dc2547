#include <tarvex/host/LibraryManager.h>

#include <tarvex/host/CurveAttribute.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/ModelFile.h>
#include <tarvex/host/UndoStackOpener.h>

#include <QFileInfo>

namespace EntityModel {

namespace {

const QString stepName = QStringLiteral("Edit Material Library");

/// Copies the plain attributes below `from` into `to` at `path`, composites included;
/// entity lists and links stay behind (they mean nothing in another model).
bool copyAttributes(Model& model, Entity* to, const CompositeAttribute& from, const AttributePath& path)
{
    for (const Attribute* attribute : from.children()) {
        const AttributePath at = path / AttributePath(attribute->getType());
        switch (attribute->getKind()) {
        case Attribute::Kind::Composite:
            if (!copyAttributes(model, to, static_cast<const CompositeAttribute&>(*attribute), at))
                return false;
            break;
        case Attribute::Kind::Value:
        case Attribute::Kind::Choice:
        case Attribute::Kind::Curve:
        case Attribute::Kind::DoubleList:
            if (!model.setAttribute(to, at, attribute->clone(), stepName))
                return false;
            break;
        case Attribute::Kind::Link:
        case Attribute::Kind::EntityList:
        case Attribute::Kind::Entity:
            break;
        }
    }
    return true;
}

} // namespace

LibraryManager::LibraryManager() : m_store(std::make_unique<Model>()) {}

LibraryManager::~LibraryManager() = default;

QString LibraryManager::storePathFor(const QString& modelPath)
{
    const QString suffix = QStringLiteral(".json");
    const QString base = modelPath.endsWith(suffix, Qt::CaseInsensitive) ? modelPath.left(modelPath.size() - suffix.size())
                                                                         : modelPath;
    return base + QStringLiteral(".library.json");
}

std::unique_ptr<LibraryManager> LibraryManager::load(const QString& path, QString* error)
{
    auto manager = std::make_unique<LibraryManager>();
    const QFileInfo info(path);
    if (!info.exists())
        return manager;
    std::unique_ptr<Model> store = ModelFile::load(path, error);
    if (!store)
        return nullptr;
    manager->m_store = std::move(store);
    // The owner's write bit, not access(): a store marked read-only stays read-only even
    // for a user (such as root) who could write it anyway.
    manager->m_writable = info.permission(QFileDevice::WriteOwner);
    return manager;
}

bool LibraryManager::save(const QString& path, QString* error) const
{
    return ModelFile::save(*m_store, path, error, QStringLiteral("the material library"));
}

std::vector<Entity*> LibraryManager::getLibraries() const
{
    std::vector<Entity*> libraries;
    for (Entity* entity : m_store->getRoot()->getOwnedChildEntitiesOfType(Material_Library_t)) {
        if (getOwnerPath(entity) == AttributePath(Libraries_t))
            libraries.push_back(entity);
    }
    return libraries;
}

bool LibraryManager::isLibrary(const Entity* library) const
{
    return library && library->isAlive() && library->getModel() == m_store.get() &&
           library->getType() == Material_Library_t && library->getOwnerEntity() == m_store->getRoot();
}

Entity* LibraryManager::findLibraryByLibraryPath(const QString& libraryPath) const
{
    for (Entity* library : getLibraries()) {
        if (library->getName() == libraryPath)
            return library;
    }
    return nullptr;
}

Entity* LibraryManager::createLibraryByLibraryPath(const QString& libraryPath)
{
    if (!m_writable || libraryPath.isEmpty())
        return nullptr;
    UndoStackOpener step(m_store.get(), stepName);
    Entity* library = m_store->createEntity(Material_Library_t, EntitySlot{m_store->getRoot(), Libraries_t, -1}, stepName);
    if (!library)
        return nullptr;
    m_store->setAttribute(library, Name_t, std::make_unique<ValueAttribute>(Name_t, libraryPath), stepName);
    m_store->setAttribute(library, Read_Only_t, std::make_unique<ValueAttribute>(Read_Only_t, true), stepName);
    return library;
}

std::vector<Entity*> LibraryManager::getLibraryItems(const Entity* library) const
{
    std::vector<Entity*> items;
    if (!isLibrary(library))
        return items;
    const Attribute* list = library->findAttribute(Library_Items_t);
    if (list && list->getKind() == Attribute::Kind::EntityList) {
        const auto* entities = static_cast<const EntityListAttribute*>(list);
        for (int i = 0; i < entities->count(); ++i)
            items.push_back(entities->at(i));
    }
    return items;
}

Entity* LibraryManager::findLibraryItem(const Entity* library, const QString& name) const
{
    for (Entity* item : getLibraryItems(library)) {
        if (item->getName() == name)
            return item;
    }
    return nullptr;
}

bool LibraryManager::isLibraryReadOnly(const Entity* library) const
{
    return !m_writable || getBoolValue(library, Read_Only_t, true);
}

bool LibraryManager::setLibraryReadOnly(Entity* library, bool readOnly)
{
    if (!m_writable || !isLibrary(library))
        return false;
    return m_store->setAttribute(library, Read_Only_t, std::make_unique<ValueAttribute>(Read_Only_t, readOnly),
                                 stepName);
}

QDateTime LibraryManager::getLastModified(const Entity* library) const
{
    return QDateTime::fromString(getStringValue(library, Last_Modified_t), Qt::ISODateWithMs);
}

bool LibraryManager::setLastModified(Entity* library, const QDateTime& time)
{
    if (!m_writable || !isLibrary(library) || !time.isValid())
        return false;
    // Kept as readable UTC text, to the millisecond, so that a saved store compares equal
    // with the file time it was taken from.
    const QString text = time.toUTC().toString(Qt::ISODateWithMs);
    return m_store->setAttribute(library, Last_Modified_t, std::make_unique<ValueAttribute>(Last_Modified_t, text),
                                 stepName);
}

Entity* LibraryManager::copyInto(Entity* library, const Entity* entity, int index)
{
    Entity* item = m_store->createEntity(entity->getType(), EntitySlot{library, Library_Items_t, index}, stepName);
    if (item && !copyAttributes(*m_store, item, *entity, AttributePath())) {
        m_store->deleteEntity(item, stepName);
        return nullptr;
    }
    return item;
}

Entity* LibraryManager::saveToLibrary(Entity* library, const Entity* entity)
{
    if (!entity || !isLibrary(library) || isLibraryReadOnly(library))
        return nullptr;
    UndoStackOpener step(m_store.get(), stepName);
    return copyInto(library, entity, -1);
}

Entity* LibraryManager::updateLibraryItem(Entity* item, const Entity* entity)
{
    if (!entity || !item || !item->isAlive() || item->getModel() != m_store.get())
        return nullptr;
    const EntitySlot slot = m_store->slotOf(item);
    if (!isLibrary(slot.owner) || slot.path != AttributePath(Library_Items_t) || isLibraryReadOnly(slot.owner))
        return nullptr;
    // A fresh copy in the old one's place: attributes the new content lacks must not linger.
    UndoStackOpener step(m_store.get(), stepName);
    Entity* updated = copyInto(slot.owner, entity, slot.index);
    if (updated)
        m_store->deleteEntity(item, stepName);
    return updated;
}

bool LibraryManager::saveLibrary(Entity* library)
{
    return m_writable && isLibrary(library);
}

} // namespace EntityModel
