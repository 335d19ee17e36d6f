#include "filelist/foldernames.h"

namespace filelist {

void ListedNames::add(QByteArrayView name)
{
    m_hashes.push_back(nameHash(name));
}

void ListedNames::setTimes(std::int64_t started, std::optional<std::int64_t> folderModified)
{
    m_timed = true;
    m_started = started;
    m_folderModified = folderModified;
}

bool ListedNames::stillTrue(const platform::Folder& folder, const platform::NameLimits& limits) const
{
    if (!m_timed)
        return true;
    return listingStillTrue(m_started, m_folderModified, folder.modifiedTime(), limits.stableInodes);
}

bool listingStillTrue(std::int64_t started, std::optional<std::int64_t> modifiedThen,
                      std::optional<std::int64_t> modifiedNow, bool stableInodes)
{
    // A change after the listing started is stamped at most a tick before the start, so later
    // than a time read then that lies further back: the time would differ now. A change before
    // the start was listed.
    return stableInodes && modifiedThen && modifiedNow && *modifiedNow == *modifiedThen
        && started - *modifiedThen > kListingSettledNs;
}

} // namespace filelist
