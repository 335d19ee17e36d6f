#pragma once

// The indexes a plan finds names in: the files of the run by their old and new names, and what
// the folder holds besides them.

#include "filelist/renameplan.h"
#include "platform/filesystem.h"

#include <QByteArrayView>

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace filelist {

// An open-addressing hash set of item numbers, keyed by a name that keyOf gives for each item:
// four bytes a slot, so that indexing a million names costs megabytes, not tens of them.
template <class KeyOf>
class NameIndex {
public:
    NameIndex(std::size_t entries, KeyOf keyOf) : m_keyOf(keyOf)
    {
        std::size_t slots = 16;
        while (slots < entries * 2)
            slots <<= 1;
        m_slots.assign(slots, kEmpty);
        m_mask = slots - 1;
    }

    // Adds item unless its key is there already; returns the item that holds the key.
    std::int32_t insert(std::int32_t item)
    {
        const std::string_view key = m_keyOf(item);
        for (std::size_t i = hash(key) & m_mask;; i = (i + 1) & m_mask) {
            if (m_slots[i] == kEmpty) {
                m_slots[i] = item;
                return item;
            }
            if (m_keyOf(m_slots[i]) == key)
                return m_slots[i];
        }
    }

    // The item whose key is key, or -1.
    [[nodiscard]] std::int32_t find(std::string_view key) const
    {
        for (std::size_t i = hash(key) & m_mask;; i = (i + 1) & m_mask) {
            if (m_slots[i] == kEmpty || m_keyOf(m_slots[i]) == key)
                return m_slots[i];
        }
    }

private:
    static constexpr std::int32_t kEmpty = -1;
    static std::size_t hash(std::string_view key) { return std::hash<std::string_view>{}(key); }

    KeyOf m_keyOf;
    std::vector<std::int32_t> m_slots;
    std::size_t m_mask = 0;
};

// 0 marks an empty slot of FolderNames; a name that hashes to it is taken as 1.
constexpr std::uint64_t kNoName = 0;

inline std::uint64_t nameHash(QByteArrayView bytes)
{
    const std::uint64_t h = std::hash<std::string_view>{}(std::string_view(bytes.data(), std::size_t(bytes.size())));
    return h == kNoName ? 1 : h;
}

// What the folder holds besides the files of the run, found the cheaper way: one reading of every
// name in the folder when the plan asks about many names, a lookup of each name otherwise. Of a
// reading only a 64-bit hash of each name is kept (16 bytes a name in all); a name whose hash is
// there is looked up for what holds it.
class FolderNames {
public:
    // tick is called now and then while a large folder is read.
    FolderNames(const platform::Folder& folder, bool folded, bool readAll, const std::function<void()>& tick)
        : m_folder(folder)
    {
        if (!readAll)
            return;
        std::vector<std::uint64_t> hashes;
        const auto status = folder.listNames([&](QByteArrayView name) {
            hashes.push_back(folded ? nameHash(platform::caseFoldedName(name)) : nameHash(name));
            if (hashes.size() % kTickEvery == 0)
                tick();
        });
        if (!status.ok())
            return; // can't tell: every name is looked up instead
        index(hashes);
    }

    // The names of a listing of the folder, taken as they are where letter case counts.
    FolderNames(const platform::Folder& folder, const ListedNames& listed) : m_folder(folder)
    {
        index(listed.hashes());
    }

    // Whether anything has name, whose key (folded where case is ignored) is key.
    bool exists(QByteArrayView name, std::string_view key) const
    {
        return m_slots.empty() ? m_folder.holderOf(name) != platform::Holder::None : contains(key);
    }

    // What holds name, whose key (folded where case is ignored) is key.
    platform::Holder holderOf(QByteArrayView name, std::string_view key) const
    {
        if (!m_slots.empty() && !contains(key))
            return platform::Holder::None;
        return m_folder.holderOf(name);
    }

private:
    static constexpr std::size_t kTickEvery = 8192;

    void index(const std::vector<std::uint64_t>& hashes)
    {
        std::size_t slots = 16;
        while (slots < hashes.size() * 2)
            slots <<= 1;
        m_slots.assign(slots, kNoName);
        for (const std::uint64_t h : hashes) {
            std::size_t i = h & (slots - 1);
            while (m_slots[i] != kNoName && m_slots[i] != h)
                i = (i + 1) & (slots - 1);
            m_slots[i] = h;
        }
    }

    bool contains(std::string_view key) const
    {
        const std::uint64_t h = nameHash(QByteArrayView(key.data(), qsizetype(key.size())));
        for (std::size_t i = h & (m_slots.size() - 1);; i = (i + 1) & (m_slots.size() - 1)) {
            if (m_slots[i] == h)
                return true;
            if (m_slots[i] == kNoName)
                return false;
        }
    }

    const platform::Folder& m_folder;
    std::vector<std::uint64_t> m_slots;
};

} // namespace filelist
