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
    QStringDecoder decoder("GBK", QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    // Code page 936 gives the bytes it has no character for (a lone 0xFF, user-defined areas)
    // private-use code points; those are no more readable than the raw bytes.
    for (const QChar c : text) {
        if (isPrivateUse(c))
            return std::nullopt;
    }
    return text;
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
