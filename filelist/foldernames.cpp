#include "filelist/foldernames.h"

namespace filelist {

void ListedNames::add(QByteArrayView name)
{
    m_hashes.push_back(nameHash(name));
}

} // namespace filelist
