#include "filelist/rulerun.h"

namespace filelist {

qsizetype RunInputs::namedCount() const
{
    return qsizetype(pairs ? pairing.leaders.size() : selected.size());
}

bool needsRunInputs(const rules::Steps& steps)
{
    const rules::FactsNeeded needed = rules::factsNeeded(steps);
    return rules::pairsFiles(steps) || needed.modified || needed.photo
        || rules::numberOrder(steps) != rules::NumberOrder::List;
}

RunInputs readRunInputs(const platform::FileSystem& fs, const QByteArray& folder, std::vector<QByteArray> selected,
                        const rules::Steps& steps, const Progress& progress)
{
    RunInputs inputs;
    inputs.selected = std::move(selected);
    inputs.pairs = rules::pairsFiles(steps);
    std::vector<QByteArray> named;
    if (inputs.pairs) {
        std::vector<QByteArray> folderFiles;
        fs.listFolder(folder, [&folderFiles](const platform::DirEntry& e) {
            if (e.kind == platform::EntryKind::File)
                folderFiles.push_back(e.name.toByteArray());
        }, platform::ListDetail::WithoutReadOnly);
        inputs.pairing = pairFiles(inputs.selected, folderFiles);
        for (const std::size_t k : inputs.pairing.leaders)
            named.push_back(inputs.selected[k]);
    }
    const rules::FactsNeeded needed = rules::factsNeeded(steps);
    const rules::NumberOrder order = rules::numberOrder(steps);
    if (needed.modified || needed.photo || order != rules::NumberOrder::List)
        inputs.facts = std::make_shared<const RunFacts>(
            gatherRunFacts(fs, folder, inputs.pairs ? named : inputs.selected, needed, order, {}, progress));
    return inputs;
}

void addRunFacts(rules::RuleContext& context, const RunInputs& inputs)
{
    if (inputs.facts)
        context.facts = factsByOrdinal(inputs.facts);
}

RenamePlan nameRun(const RenameSource& list, const RunInputs* inputs, const NumberedRule& rule)
{
    const std::vector<qint64> ordinals = inputs && inputs->facts ? inputs->facts->ordinals : std::vector<qint64>{};
    if (inputs && inputs->pairs)
        return planPairedNames(list.folder(), inputs->selected, inputs->pairing, rule, ordinals);
    return planNumberedNames(list, rule, ordinals);
}

} // namespace filelist
