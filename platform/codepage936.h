#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace platform {

// Decodes bytes as code page 936 (GBK). Returns nothing unless every byte is part of a valid,
// readable character whose code converts back to the same bytes, so that a UTF-8 name or random
// bytes are never mistaken for GBK text, and encodeCodePage936() gives back exactly these bytes.
std::optional<QString> decodeCodePage936(QByteArrayView bytes);

// The code page 936 bytes of text: ASCII as it is, every other character as its double-byte
// code. Nothing when text holds a character code page 936 has no code for.
std::optional<QByteArray> encodeCodePage936(QStringView text);

// The double-byte characters of code page 936 (lead byte 0x81-0xFE, trail byte 0x40-0xFE
// except 0x7F), looked up both ways in tables built once from the system's codec, so that
// converting a character costs an array access.
class CodePage936 final {
public:
    static constexpr std::uint16_t kFirstCode = 0x8100;
    static constexpr std::size_t kCodes = 0x10000 - kFirstCode;

    static const CodePage936& instance();

    // The double-byte code of c, or 0 when code page 936 has none for it (single-byte
    // characters, characters outside code page 936, anything beyond the BMP).
    [[nodiscard]] std::uint16_t codeOf(char32_t c) const { return c < 0x10000 ? m_codeOf[c] : 0; }
    // The character of a double-byte code, or 0 when the code is no character.
    [[nodiscard]] char16_t characterOf(std::uint16_t code) const
    {
        return code >= kFirstCode ? m_characterOf[code - kFirstCode] : 0;
    }

    CodePage936();

private:
    std::array<std::uint16_t, 0x10000> m_codeOf{};
    std::array<char16_t, kCodes> m_characterOf{};
};

} // namespace platform
