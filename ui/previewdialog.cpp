#include "ui/previewdialog.h"

#include "filelist/renameplan.h"
#include "ui/planmodel.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace ui {

PreviewDialog::PreviewDialog(const filelist::RenamePlan& plan, const QString& command, QWidget* parent)
    : QDialog(parent)
{
    using filelist::PlanState;
    setObjectName(QStringLiteral("PreviewDialog"));
    setWindowTitle(QStringLiteral("改名预览：%1").arg(command));
    resize(680, 440);

    lblPlanCounts = new QLabel(countsText(plan), this);
    lblPlanCounts->setObjectName(QStringLiteral("lblPlanCounts"));
    lblPlanCounts->setWordWrap(true);

    auto* filterLabel = new QLabel(QStringLiteral("显示："), this);
    cboPlanFilter = new QComboBox(this);
    cboPlanFilter->setObjectName(QStringLiteral("cboPlanFilter"));
    cboPlanFilter->addItems({QStringLiteral("全部文件（有问题的在前）"), QStringLiteral("只看有问题的"),
                             QStringLiteral("只看要改名的"), QStringLiteral("只看不变的")});
    filterLabel->setBuddy(cboPlanFilter);
    cboPlanFilter->setAccessibleName(QStringLiteral("显示哪些文件"));
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(cboPlanFilter);
    filterRow->addStretch();

    m_model = new PlanModel(plan, this);
    lstPlan = new QTreeView(this);
    lstPlan->setObjectName(QStringLiteral("lstPlan"));
    lstPlan->setAccessibleName(QStringLiteral("改名计划"));
    lstPlan->setRootIsDecorated(false);
    lstPlan->setUniformRowHeights(true); // a million rows are laid out without measuring each
    lstPlan->setAlternatingRowColors(true);
    lstPlan->setModel(m_model);
    lstPlan->header()->setStretchLastSection(true);
    lstPlan->header()->resizeSection(PlanModel::StateColumn, 60);
    lstPlan->header()->resizeSection(PlanModel::OldNameColumn, 200);
    lstPlan->header()->resizeSection(PlanModel::NewNameColumn, 200);

    auto* buttons = new QDialogButtonBox(this);
    cmdRunPlan = buttons->addButton(QStringLiteral("改名"), QDialogButtonBox::AcceptRole);
    cmdRunPlan->setObjectName(QStringLiteral("cmdRunPlan"));
    cmdRunPlan->setEnabled(plan.count(PlanState::Rename) > 0);
    cmdCancelPlan = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cmdCancelPlan->setObjectName(QStringLiteral("cmdCancelPlan"));
    (cmdRunPlan->isEnabled() ? cmdRunPlan : cmdCancelPlan)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    connect(cboPlanFilter, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_model->setFilter(PlanModel::Filter(index)); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblPlanCounts);
    layout->addLayout(filterRow);
    layout->addWidget(lstPlan, 1);
    layout->addWidget(buttons);
}

QString PreviewDialog::countsText(const filelist::RenamePlan& plan)
{
    using filelist::PlanState;
    QString text = QStringLiteral("选中的 %1 个文件：改名 %2 个，不变 %3 个，已存在 %4 个，无效 %5 个。")
                       .arg(plan.size())
                       .arg(plan.count(PlanState::Rename))
                       .arg(plan.count(PlanState::Unchanged))
                       .arg(plan.count(PlanState::Taken))
                       .arg(plan.count(PlanState::Invalid));
    if (plan.count(PlanState::Rename) == 0)
        text += QStringLiteral("\n没有要改名的文件。");
    else if (plan.count(PlanState::Taken) + plan.count(PlanState::Invalid) > 0)
        text += QStringLiteral("\n“已存在”和“无效”的文件不会改名，其余的文件照常改名。");
    return text;
}

} // namespace ui
