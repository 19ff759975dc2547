#pragma once

#include <tarvex/host/Entity.h>
#include <tarvex/host/Model.h>

#include <QDateTime>
#include <QString>

#include <memory>
#include <vector>

namespace EntityModel {

/// The host's material libraries: named collections of material entities kept apart from
/// any model, in a store of their own that is saved as a model file beside the model
/// ("MODEL.json" keeps its libraries in "MODEL.library.json").
///
/// A library is a `Material_Library_t` entity named by its library path, with its items in
/// `Library_Items_t`, its `Last_Modified_t` time and its `Read_Only_t` state: items can be
/// added or changed only while the library is writable. A store whose file is marked
/// read-only refuses every change, including making a library writable.
class LibraryManager
{
public:
    /// An empty, writable store.
    LibraryManager();
    ~LibraryManager();
    LibraryManager(const LibraryManager&) = delete;
    LibraryManager& operator=(const LibraryManager&) = delete;

    /// The store file kept beside `modelPath`: its ".json" suffix becomes ".library.json".
    static QString storePathFor(const QString& modelPath);
    /// Reads the store at `path`; a missing file gives an empty store, a file without write
    /// permission a read-only one. Null with `*error` set (naming the file) when the file is
    /// not a store.
    static std::unique_ptr<LibraryManager> load(const QString& path, QString* error);
    /// Writes the store to `path` through a temporary file beside it; false with `*error`
    /// set on failure.
    bool save(const QString& path, QString* error) const;

    /// False when the store refuses changes.
    bool isWritable() const { return m_writable; }
    /// Lets the store accept changes or refuse them all.
    void setWritable(bool writable) { m_writable = writable; }
    /// The model that holds the libraries (its undo history records every change).
    Model& getStore() const { return *m_store; }

    /// The library whose path is `libraryPath`, or null.
    Entity* findLibraryByLibraryPath(const QString& libraryPath) const;
    /// A new, empty, read-only library with path `libraryPath`; null when the store is read-only.
    Entity* createLibraryByLibraryPath(const QString& libraryPath);
    /// Every library, in creation order.
    std::vector<Entity*> getLibraries() const;

    /// The items of `library`, in order.
    std::vector<Entity*> getLibraryItems(const Entity* library) const;
    /// The first item of `library` called `name`, or null.
    Entity* findLibraryItem(const Entity* library, const QString& name) const;

    /// True while the items of `library` cannot be changed.
    bool isLibraryReadOnly(const Entity* library) const;
    /// Makes `library` read-only or writable; false (nothing changed) when the store is
    /// read-only or `library` is not one of its libraries.
    bool setLibraryReadOnly(Entity* library, bool readOnly);
    /// When the library's content was last taken from its source (null when never).
    QDateTime getLastModified(const Entity* library) const;
    /// Records the time the library's content was taken from its source.
    bool setLastModified(Entity* library, const QDateTime& time);

    /// Adds a copy of `entity` (of any model) to the writable `library`: its attributes,
    /// not the entities it owns nor its links. The new item, or null.
    Entity* saveToLibrary(Entity* library, const Entity* entity);
    /// Replaces `item` of a writable library by a copy of `entity`, at the same place; the
    /// new item, or null (nothing changed).
    Entity* updateLibraryItem(Entity* item, const Entity* entity);
    /// Saves `library`: the stand-in keeps libraries in memory and `save` writes the store,
    /// so this only checks that the library can be kept. False for a library that is not one
    /// of the store's, or a read-only store.
    bool saveLibrary(Entity* library);

private:
    bool isLibrary(const Entity* library) const;
    Entity* copyInto(Entity* library, const Entity* entity, int index);

    std::unique_ptr<Model> m_store;
    bool m_writable = true;
};

} // namespace EntityModel
