#include "filelist/moveorder.h"

#include "filelist/renameplan.h"

#include <algorithm>

namespace filelist {

MoveOrder::MoveOrder(const RenamePlan& plan, const std::vector<std::int32_t>& heldUp, qsizetype moving)
{
    const qsizetype n = plan.size();
    m_files.reserve(std::size_t(moving));
    std::vector<std::uint8_t> placed(std::size_t(n), 0);
    // From first along the files waiting, each file once.
    const auto follow = [&](qsizetype first) {
        for (qsizetype i = first; i >= 0 && !placed[std::size_t(i)]; i = heldUp[std::size_t(i)]) {
            placed[std::size_t(i)] = 1;
            m_files.push_back(std::int32_t(i));
        }
    };
    for (qsizetype first = 0; first < n; ++first) {
        if (plan.state(first) == PlanState::Rename && plan.blocker(first) < 0)
            follow(first);
    }
    m_chainsEnd = size();
    for (qsizetype first = 0; first < n; ++first) {
        if (plan.state(first) != PlanState::Rename || placed[std::size_t(first)])
            continue;
        m_ringStarts.push_back(std::int32_t(size()));
        follow(first);
    }
}

qsizetype MoveOrder::ringEnd(qsizetype p) const
{
    const auto next = std::upper_bound(m_ringStarts.begin(), m_ringStarts.end(), std::int32_t(p));
    return next == m_ringStarts.end() ? size() : qsizetype(*next);
}

} // namespace filelist
