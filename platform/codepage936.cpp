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
    return text;
}

} // namespace platform
