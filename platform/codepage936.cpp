#include "platform/codepage936.h"

#include <QStringDecoder>

namespace platform {

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
        if (c.category() == QChar::Other_PrivateUse)
            return std::nullopt;
    }
    return text;
}

} // namespace platform
