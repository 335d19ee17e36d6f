#include "filelist/pairs.h"

#include "platform/filename.h"

#include <QHashFunctions>

#include <unordered_map>

namespace filelist {

namespace {

struct BytesHash {
    std::size_t operator()(QByteArrayView bytes) const { return qHashBits(bytes.data(), std::size_t(bytes.size())); }
};

} // namespace

QByteArrayView nameBase(QByteArrayView name)
{
    const qsizetype dot = name.lastIndexOf('.');
    return dot < 0 ? name : name.first(dot);
}

Pairing pairFiles(const std::vector<QByteArray>& selected, const std::vector<QByteArray>& folderFiles)
{
    Pairing pairing;
    std::unordered_map<QByteArrayView, std::size_t, BytesHash> leaderOf; // base -> its leader's place
    for (std::size_t k = 0; k < selected.size(); ++k) {
        const auto [it, first] = leaderOf.emplace(nameBase(selected[k]), pairing.leaders.size());
        if (first) {
            pairing.leaders.push_back(k);
            pairing.followers.emplace_back();
        }
    }
    for (const QByteArray& name : folderFiles) {
        const auto it = leaderOf.find(nameBase(name));
        if (it == leaderOf.end() || name == selected[pairing.leaders[it->second]])
            continue;
        pairing.followers[it->second].push_back(name);
    }
    return pairing;
}

RenamePlan planPairedNames(const QByteArray& folder, const std::vector<QByteArray>& selected, const Pairing& pairing,
                           const NumberedRule& rule, const std::vector<qint64>& ordinals)
{
    RenamePlan plan(folder);
    for (std::size_t j = 0; j < pairing.leaders.size(); ++j) {
        const QByteArray& name = selected[pairing.leaders[j]];
        const platform::NameText text = platform::readFileName(name);
        const RenameDecision decision = rule(text.text, ordinals.empty() ? qint64(j) + 1 : ordinals[j]);
        const qsizetype leader = plan.size();
        plan.add(name, decision, text.encoding);
        // The followers take the leader's new name up to its extension, or stay with it.
        const qsizetype dot = decision.newName.lastIndexOf(QLatin1Char('.'));
        const QString newBase = decision.newName.left(dot < 0 ? decision.newName.size() : dot);
        for (const QByteArray& other : pairing.followers[j]) {
            const platform::NameText otherText = platform::readFileName(other);
            const qsizetype otherDot = otherText.text.lastIndexOf(QLatin1Char('.'));
            RenameDecision follows = RenameDecision::leave();
            if (decision.action == RenameDecision::Action::Rename)
                follows = RenameDecision::rename(otherDot < 0 ? newBase : newBase + otherText.text.mid(otherDot));
            else if (decision.action == RenameDecision::Action::Refuse)
                follows = RenameDecision::refuse(QString(), QStringLiteral("同名的“%1”不能改名").arg(text.text));
            plan.add(other, follows, otherText.encoding);
            plan.follow(plan.size() - 1, leader);
        }
    }
    return plan;
}

} // namespace filelist
