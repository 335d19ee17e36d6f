#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace platform {

// Decodes bytes as code page 936 (GBK). Returns nothing unless every byte is part of a valid
// character, so that a UTF-8 name or random bytes are never mistaken for GBK text.
std::optional<QString> decodeCodePage936(QByteArrayView bytes);

} // namespace platform
