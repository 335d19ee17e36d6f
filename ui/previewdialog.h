#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeView;

namespace filelist {
class RenamePlan;
}

namespace ui {

class PlanModel;

// Shows every selected file with its new name and what the run will do with it, before
// anything on disk changes; "改名" runs exactly this plan, "取消" leaves every file alone.
class PreviewDialog final : public QDialog {
    Q_OBJECT

public:
    PreviewDialog(const filelist::RenamePlan& plan, const QString& command, QWidget* parent = nullptr);

    // The counts at the top, in words.
    static QString countsText(const filelist::RenamePlan& plan);

private:
    PlanModel* m_model = nullptr;
    QLabel* lblPlanCounts = nullptr;
    QComboBox* cboPlanFilter = nullptr;
    QTreeView* lstPlan = nullptr;
    QPushButton* cmdRunPlan = nullptr;
    QPushButton* cmdCancelPlan = nullptr;
};

} // namespace ui
