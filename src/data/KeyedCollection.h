#pragma once

#include <QHash> // not used here any more, but includers rely on it
#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <vector>

// Hash of a QString's UTF-16 units for std::unordered_map, whose inserts are several times
// faster than QHash's; loading a whole library makes one per record.
struct QStringKeyHash
{
    std::size_t operator()(const QString &key) const
    {
        return std::hash<std::u16string_view>{}(
            std::u16string_view(reinterpret_cast<const char16_t *>(key.utf16()), std::size_t(key.size())));
    }
};

// Ordered collection of shared items, each filed under a text key or under none, reachable by
// 1-based position (insertion order) and by key. Removing an item moves every later item down
// by one position and releases only the collection's reference.
//
// Item and Remove with a key that is absent or a position outside 1..Count() throw
// std::out_of_range and leave the collection unchanged; appending under a key already present
// throws std::invalid_argument.
template <typename T> class KeyedCollection
{
public:
    using Ptr = std::shared_ptr<T>;

    int Count() const { return int(m_items.size()); }

    const Ptr &Item(int position) const
    {
        if (position < 1 || position > Count())
            throw std::out_of_range("Subscript out of range");
        return m_items[std::size_t(position - 1)].item;
    }

    const Ptr &Item(const QString &key) const { return m_items[std::size_t(indexOf(key))].item; }

    // The key the item at position is filed under (empty for an item without a key).
    const QString &KeyAt(int position) const
    {
        if (position < 1 || position > Count())
            throw std::out_of_range("Subscript out of range");
        return m_items[std::size_t(position - 1)].key;
    }

    bool Contains(const QString &key) const { return !key.isEmpty() && m_index.count(key) != 0; }

    // 1-based position of the item under key, 0 when absent.
    int PositionOf(const QString &key) const
    {
        const auto it = m_index.find(key);
        return it == m_index.end() ? 0 : it->second + 1;
    }

    void Remove(int position)
    {
        if (position < 1 || position > Count())
            throw std::out_of_range("Subscript out of range");
        eraseAt(position - 1);
    }

    void Remove(const QString &key) { eraseAt(indexOf(key)); }

    // Appends item at the end, under key when key is not empty.
    void Append(Ptr item, const QString &key)
    {
        if (!key.isEmpty() && !m_index.try_emplace(key, int(m_items.size())).second)
            throw std::invalid_argument("This key is already associated with an element of this collection");
        try {
            m_items.push_back({key, std::move(item)});
        } catch (...) {
            // Out of memory: the collection stays as it was.
            if (!key.isEmpty())
                m_index.erase(key);
            throw;
        }
    }

    void Reserve(int n)
    {
        m_items.reserve(std::size_t(n));
        m_index.reserve(std::size_t(n));
    }

private:
    // Declared ahead of the iterator, which names it (clang requires that).
    struct Entry
    {
        QString key;
        Ptr item;
    };

public:
    // Enumeration in collection order.
    class const_iterator
    {
    public:
        using Inner = typename std::vector<typename KeyedCollection::Entry>::const_iterator;
        explicit const_iterator(Inner it) : m_it(it) { }
        const Ptr &operator*() const { return m_it->item; }
        const_iterator &operator++()
        {
            ++m_it;
            return *this;
        }
        bool operator!=(const const_iterator &o) const { return m_it != o.m_it; }
        bool operator==(const const_iterator &o) const { return m_it == o.m_it; }

    private:
        Inner m_it;
    };
    const_iterator begin() const { return const_iterator(m_items.begin()); }
    const_iterator end() const { return const_iterator(m_items.end()); }

private:
    int indexOf(const QString &key) const
    {
        const auto it = m_index.find(key);
        if (key.isEmpty() || it == m_index.end())
            throw std::out_of_range("Invalid procedure call or argument: no item with this key");
        return it->second;
    }

    void eraseAt(int index)
    {
        if (!m_items[std::size_t(index)].key.isEmpty())
            m_index.erase(m_items[std::size_t(index)].key);
        m_items.erase(m_items.begin() + index);
        for (std::size_t i = std::size_t(index); i < m_items.size(); ++i)
            if (!m_items[i].key.isEmpty())
                m_index[m_items[i].key] = int(i);
    }

    std::vector<Entry> m_items;
    std::unordered_map<QString, int, QStringKeyHash> m_index;
};
