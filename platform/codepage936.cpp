#include "platform/codepage936.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

namespace {

bool isPrivateUse(QChar c)
{
    return c.category() == QChar::Other_PrivateUse;
}

} // namespace

std::optional<QString> decodeCodePage936(QByteArrayView bytes)
{
    const CodePage936& codePage = CodePage936::instance();
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            text.append(QChar(char16_t(lead)));
            continue;
        }
        if (i + 1 == bytes.size())
            return std::nullopt;
        // The tables hold only characters that convert both ways, never private-use ones.
        const char16_t c = codePage.characterOf(std::uint16_t(lead << 8 | static_cast<unsigned char>(bytes[++i])));
        if (c == 0)
            return std::nullopt;
        text.append(QChar(c));
    }
    return text;
}

std::optional<QByteArray> encodeCodePage936(QStringView text)
{
    const CodePage936& codePage = CodePage936::instance();
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            bytes.append(char(c.unicode()));
            continue;
        }
        const std::uint16_t code = codePage.codeOf(c.unicode());
        if (code == 0)
            return std::nullopt;
        bytes.append(char(code >> 8));
        bytes.append(char(code & 0xFF));
    }
    return bytes;
}

const CodePage936& CodePage936::instance()
{
    static const auto table = std::make_unique<CodePage936>();
    return *table;
}

CodePage936::CodePage936()
{
    QStringDecoder decoder("GBK", QStringDecoder::Flag::Stateless);
    QStringEncoder encoder("GBK", QStringEncoder::Flag::Stateless);
    if (!decoder.isValid() || !encoder.isValid())
        return;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const char bytes[2] = {char(lead), char(trail)};
            decoder.resetState();
            const QString text = decoder.decode(QByteArrayView(bytes, 2));
            if (decoder.hasError() || text.size() != 1 || text[0].isSurrogate() || isPrivateUse(text[0]))
                continue;
            // Keep only codes the encoder gives back for the character, so that both directions
            // agree where two codes share one character.
            encoder.resetState();
            const QByteArray back = encoder.encode(text);
            if (encoder.hasError() || back.size() != 2 || back[0] != bytes[0] || back[1] != bytes[1])
                continue;
            const auto code = std::uint16_t(lead << 8 | trail);
            m_characterOf[code - kFirstCode] = text[0].unicode();
            m_codeOf[text[0].unicode()] = code;
        }
    }
}

} // namespace platform
