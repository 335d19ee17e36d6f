#pragma once

// How a journal's numbers, names and identities are written as bytes, and the checksum of its
// records. Only the journal's own code uses this.

#include "platform/filesystem.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <cstring>

namespace filelist {

// The CRC-32 of zip and PNG, continued from crc.
std::uint32_t crc32(QByteArrayView bytes, std::uint32_t crc = 0);

// Appends numbers and names to a buffer, its own or one it is given.
class Encoder {
public:
    Encoder() : m_out(m_own) {}
    explicit Encoder(QByteArray& out) : m_out(out) {}
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;

    void u8(std::uint8_t v) { m_out.append(char(v)); }
    void u32(std::uint32_t v) { put(grow(4), v, 4); }
    void u64(std::uint64_t v) { put(grow(8), v, 8); }
    void bytes(QByteArrayView v)
    {
        char* at = grow(4 + v.size());
        put(at, std::uint64_t(v.size()), 4);
        if (!v.isEmpty())
            std::memcpy(at + 4, v.data(), std::size_t(v.size()));
    }
    // A move of a plan: its names and its identity, in one growth of the buffer.
    void move(QByteArrayView from, QByteArrayView to, const platform::FileIdentity& id)
    {
        char* at = grow(8 + from.size() + to.size() + 40);
        put(at, std::uint64_t(from.size()), 4);
        if (!from.isEmpty())
            std::memcpy(at + 4, from.data(), std::size_t(from.size()));
        at += 4 + from.size();
        put(at, std::uint64_t(to.size()), 4);
        if (!to.isEmpty())
            std::memcpy(at + 4, to.data(), std::size_t(to.size()));
        putIdentity(at + 4 + to.size(), id);
    }
    void identity(const platform::FileIdentity& id)
    {
        putIdentity(grow(40), id);
    }
    // Fills in the frame of a record whose payload follows the frame's first five bytes: its
    // length, its kind, and the CRC-32 appended after it.
    void closeRecord(char kind)
    {
        put(m_out.data(), std::uint64_t(m_out.size() - 5), 4);
        m_out[4] = kind;
        const std::uint32_t crc = crc32(QByteArrayView(m_out).sliced(4));
        put(grow(4), crc, 4);
    }
    QByteArray& out() { return m_out; }

private:
    // Room for n more bytes at the end, where they are to be written.
    char* grow(qsizetype n)
    {
        const qsizetype at = m_out.size();
        m_out.resize(at + n);
        return m_out.data() + at;
    }
    static void putIdentity(char* at, const platform::FileIdentity& id)
    {
        put(at, id.device, 8);
        put(at + 8, id.inode, 8);
        put(at + 16, std::uint64_t(id.size), 8);
        put(at + 24, std::uint64_t(id.modified), 8);
        put(at + 32, std::uint64_t(id.born), 8);
    }
    // The low bytes of v, least significant first.
    static void put(char* at, std::uint64_t v, int bytes)
    {
        for (int k = 0; k < bytes; ++k)
            at[k] = char((v >> (8 * k)) & 0xFF);
    }

    QByteArray m_own;
    QByteArray& m_out;
};

class Decoder {
public:
    explicit Decoder(QByteArrayView in) : m_in(in) {}
    [[nodiscard]] bool ok() const { return m_ok; }
    [[nodiscard]] bool atEnd() const { return m_at == m_in.size(); }
    std::uint8_t u8() { return std::uint8_t(take(1)); }
    std::uint32_t u32() { return std::uint32_t(take(4)); }
    std::uint64_t u64() { return take(8); }
    QByteArrayView bytes()
    {
        const std::uint32_t n = u32();
        if (!m_ok || n > std::uint64_t(m_in.size() - m_at)) {
            m_ok = false;
            return {};
        }
        const QByteArrayView v = m_in.sliced(m_at, n);
        m_at += n;
        return v;
    }
    platform::FileIdentity identity()
    {
        platform::FileIdentity id;
        id.device = u64();
        id.inode = u64();
        id.size = std::int64_t(u64());
        id.modified = std::int64_t(u64());
        id.born = std::int64_t(u64());
        return id;
    }

private:
    std::uint64_t take(int n)
    {
        if (!m_ok || m_in.size() - m_at < n) {
            m_ok = false;
            return 0;
        }
        std::uint64_t v = 0;
        for (int k = 0; k < n; ++k)
            v |= std::uint64_t(static_cast<unsigned char>(m_in[m_at + k])) << (8 * k);
        m_at += n;
        return v;
    }

    QByteArrayView m_in;
    qsizetype m_at = 0;
    bool m_ok = true;
};

} // namespace filelist
