#pragma once

#include <tarvex/host/TypeRef.h>

#include <QtGlobal>

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

namespace EntityModel {

// The labels met so far in a saved model, found again by their UTF-8 bytes without a string
// made for the search: a model has millions of attributes and a few hundred labels, which so
// share their text. Open addressing, at most half full.
class ModelTextLabels
{
public:
    // Where a run of labels stands, for findNext(): the label met last in it.
    class Run
    {
    private:
        friend class ModelTextLabels;
        std::size_t last = 0; // the start of every run
    };

    // The label whose UTF-8 bytes are `text`, made the first time they are met. It stays
    // where it is as long as the table, so that readers may point to it and copy it only
    // into what they make.
    const TypeRef& find(const char* text, std::size_t size);
    // The same for the next label of `run`, tried first against the label that came after
    // the run's last one when that was met before: the keys of entities of one type come in
    // the same order, so most are found by one comparison, without a hash.
    const TypeRef& findNext(Run& run, const char* text, std::size_t size);

private:
    struct Entry
    {
        quint64 hash = 0;
        std::string bytes;
        const TypeRef* label = nullptr;
        std::size_t next = 0; // the entry that came after this one last time; 0 for none
    };

    static quint64 hashOf(const char* text, std::size_t size);
    std::size_t place(const char* text, std::size_t size);
    void grow();

    // Entry 0 stands for the start of a run; the others are the labels, in the order met.
    std::vector<Entry> m_entries = std::vector<Entry>(1);
    std::vector<std::size_t> m_slots = std::vector<std::size_t>(512); // into m_entries; 0 is free
    std::deque<TypeRef> m_labels; // of the entries; a deque keeps them where they are as it grows
};

} // namespace EntityModel
