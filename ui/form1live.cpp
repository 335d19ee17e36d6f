// The window's column of new names and its status line.
#include "ui/form1.h"

#include "filelist/filelistmodel.h"
#include "filelist/rulerename.h"
#include "filelist/rulerun.h"
#include "filelist/statusline.h"
#include "ui/livecolumn.h"
#include "ui/module1.h"
#include "ui/pinyinpage.h"
#include "ui/templatepage.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTableView>

#include <variant>

namespace ui {

void Form1::createLiveColumn()
{
    // The column's header and its menu; the column itself is the model's, set up before the
    // view first asks the model for its columns.
    QHeaderView* header = File1->horizontalHeader();
    // The old names and the new ones share the list's width half and half.
    header->setSectionResizeMode(QHeaderView::Stretch);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    const int icon = File1->fontMetrics().height() - 2;
    File1->setIconSize(QSize(icon, icon));
    // The header's menu hides or shows the new names.
    connect(header, &QHeaderView::customContextMenuRequested, this, [this, header](const QPoint& at) {
        QMenu menu(this);
        QAction* shown = menu.addAction(QStringLiteral("显示“新文件名”"));
        shown->setCheckable(true);
        shown->setChecked(!File1->isColumnHidden(1));
        if (menu.exec(header->mapToGlobal(at)) == shown)
            File1->setColumnHidden(1, !shown->isChecked());
    });
    // A hidden column makes no names: hiding it, by the menu or otherwise, stops them.
    connect(header, &QHeaderView::sectionResized, this, [this](int section, int before, int now) {
        if (section == 1 && (before == 0) != (now == 0))
            updateLiveRule();
    });
}

void Form1::connectLiveColumn()
{
    for (RulePage* page : m_rulePages) {
        connect(page, &RulePage::optionsChanged, this, [this] {
            m_liveFromSteps = false;
            updateLiveRule();
        });
    }
    connect(SSTab1, &QTabWidget::currentChanged, this, [this] {
        m_liveFromSteps = false;
        updateLiveRule();
    });
    connect(m_stepsPanel, &StepsPanel::stepsChanged, this, [this] {
        m_liveFromSteps = !m_stepsPanel->steps().empty();
        updateLiveRule();
    });
    // Turning to the steps (a click or Tab into the panel) puts them in front.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && m_stepsPanel->isAncestorOf(now) && !m_liveFromSteps && !m_stepsPanel->steps().empty()) {
            m_liveFromSteps = true;
            updateLiveRule();
        }
    });
    connect(m_live, &LiveColumn::countsChanged, this, [this] {
        updateStatus();
        // The template and pinyin pages' examples are the list's first selected file.
        if (!busy()) {
            m_templatePage->refreshExample();
            m_pinyinPage->refreshExample();
        }
    });
    const auto listChanged = [this] {
        m_statusNote.clear();
        updateStatus();
    };
    connect(m_files, &QAbstractItemModel::modelReset, this, listChanged);
    connect(m_files->selectionModel(), &QItemSelectionModel::selectionChanged, this, listChanged);
    updateLiveRule();
}

void Form1::updateLiveRule()
{
    if (!m_live)
        return;
    rules::RuleContext context;
    context.table = &Module1::F2JTable();
    context.pinyin = &Module1::PinyinTable();
    const qint64 selected = m_files->selectedCount();
    rules::Steps steps;
    bool single = false;
    bool leaveIfNameTaken = false;
    if (busy() || File1->isColumnHidden(1)) {
        // nothing shown
    } else if (m_liveFromSteps && !m_stepsPanel->steps().empty()) {
        steps = m_stepsPanel->steps();
    } else if (auto* page = qobject_cast<RulePage*>(SSTab1->currentWidget())) {
        const int command = page->liveCommand();
        if (command >= 0 && page->refusal(command, RulePage::Use::Run, selected).isEmpty()) {
            steps = {page->rule(command)};
            single = true;
            leaveIfNameTaken = std::holds_alternative<rules::CustomRule>(steps.front());
        }
    }
    if (steps.empty()) {
        m_live->setRule({}, false);
        return;
    }
    // Rules that can't run as their options stand show nothing; their command says why.
    rules::PreparedRule prepared =
        single ? rules::prepare(steps.front(), context, selected) : rules::prepareSteps(steps, context, selected);
    if (!prepared.error.isEmpty() || prepared.idle) {
        m_live->setRule({}, false);
        return;
    }
    if (filelist::needsRunInputs(steps))
        m_live->names().setRuleWithInputs(std::move(steps), context, single, leaveIfNameTaken);
    else
        m_live->setRule(std::move(prepared.name), leaveIfNameTaken);
}

std::optional<std::pair<QString, QString>> Form1::listExample()
{
    if (!m_files || !m_live)
        return std::nullopt;
    for (int row = 0; row < m_files->count(); ++row) {
        if (!m_files->isSelected(row))
            continue;
        const auto cell = m_live->names().cell(row);
        return std::make_pair(m_files->displayText(row), cell ? cell->name : QString());
    }
    return std::nullopt;
}

void Form1::updateStatus()
{
    QString text = filelist::listCountsText(m_files->count(), m_files->selectedCount());
    const filelist::LiveNames& names = m_live->names();
    if (!m_statusNote.isEmpty()) {
        text += QLatin1Char('\n') + m_statusNote;
    } else if (names.hasRule() && names.tooManyToPlan()) {
        text += QLatin1Char('\n') + filelist::tooManyToCheckText();
    } else if (names.hasRule() && m_files->selectedCount() > 0) {
        text += QLatin1Char('\n')
            + filelist::planCountsText(names.planReady(), names.count(filelist::PlanState::Rename),
                                       names.count(filelist::PlanState::Taken),
                                       names.count(filelist::PlanState::Invalid));
    }
    showStatus(text);
}

void Form1::noteInStatus(const QString& note)
{
    m_statusNote = note;
    updateStatus();
}

void Form1::showStatus(const QString& text)
{
    m_statusLine->setText(text);
    m_statusLine->setToolTip(text);
}

} // namespace ui
