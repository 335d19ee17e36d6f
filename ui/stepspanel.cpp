#include "ui/stepspanel.h"

#include "ui/listviews.h"
#include "ui/messagepresenter.h"

#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <utility>

namespace ui {

namespace {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

const QString kPresetFilter = QStringLiteral("预设 (*.json);;所有文件 (*)");

} // namespace

StepsPanel::StepsPanel(StepsHost& host, const platform::FileSystem& fs, MessagePresenter& messages, QWidget* parent)
    : QGroupBox(QStringLiteral("步骤"), parent), m_host(host), m_fs(fs), m_messages(messages), m_store(fs)
{
    setObjectName(QStringLiteral("fraSteps"));
    lstSteps = new QListWidget(this);
    lstSteps->setObjectName(QStringLiteral("lstSteps"));
    lstSteps->setAccessibleName(QStringLiteral("步骤"));
    lstSteps->setToolTip(QStringLiteral("“按步骤改名”让每个选中的文件依次经过这些步骤，只改一次名"));
    cmdStepUp = makeButton(this, "cmdStepUp", QStringLiteral("上移"));
    cmdStepDown = makeButton(this, "cmdStepDown", QStringLiteral("下移"));
    cmdStepRemove = makeButton(this, "cmdStepRemove", QStringLiteral("删除"));
    cmdStepsClear = makeButton(this, "cmdStepsClear", QStringLiteral("清空"));
    cmdRunSteps = makeButton(this, "cmdRunSteps", QStringLiteral("按步骤改名"));
    cmdRunSteps->setAccessibleDescription(QStringLiteral("让每个选中的文件依次经过所有步骤，一次改名"));

    lblPreset = new QLabel(QStringLiteral("预设："), this);
    lblPreset->setObjectName(QStringLiteral("lblPreset"));
    auto* presets = new RefreshingComboBox(this);
    presets->beforePopup = [this] {
        refreshPresets();
        return true;
    };
    cboPreset = presets;
    cboPreset->setObjectName(QStringLiteral("cboPreset"));
    cboPreset->setPlaceholderText(QStringLiteral("（选择预设）"));
    cboPreset->setAccessibleName(QStringLiteral("预设"));
    lblPreset->setBuddy(cboPreset);
    cmdSavePreset = makeButton(this, "cmdSavePreset", QStringLiteral("保存预设"));
    cmdDeletePreset = makeButton(this, "cmdDeletePreset", QStringLiteral("删除预设"));
    cmdExportPreset = makeButton(this, "cmdExportPreset", QStringLiteral("导出…"));
    cmdExportPreset->setAccessibleDescription(QStringLiteral("把步骤存成一个预设文件"));
    cmdImportPreset = makeButton(this, "cmdImportPreset", QStringLiteral("导入…"));
    cmdImportPreset->setAccessibleDescription(QStringLiteral("从一个预设文件读入步骤"));

    // The list with its buttons beside it, the presets in a row underneath.
    auto* stepButtons = new QGridLayout;
    stepButtons->addWidget(cmdStepUp, 0, 0);
    stepButtons->addWidget(cmdStepDown, 0, 1);
    stepButtons->addWidget(cmdStepRemove, 1, 0);
    stepButtons->addWidget(cmdStepsClear, 1, 1);
    stepButtons->addWidget(cmdRunSteps, 2, 0, 1, 2);
    stepButtons->setRowStretch(3, 1);
    // The list is as high as the buttons beside it, and at least three steps high.
    lstSteps->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    lstSteps->setMinimumHeight(3 * lstSteps->fontMetrics().height() + 2 * lstSteps->frameWidth());
    auto* stepsRow = new QHBoxLayout;
    stepsRow->addWidget(lstSteps, 1);
    stepsRow->addLayout(stepButtons);
    auto* presetRow = new QHBoxLayout;
    presetRow->addWidget(lblPreset);
    presetRow->addWidget(cboPreset, 1);
    for (QPushButton* button : {cmdSavePreset, cmdDeletePreset, cmdExportPreset, cmdImportPreset})
        presetRow->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 8);
    layout->addLayout(stepsRow, 1);
    layout->addLayout(presetRow);

    connect(lstSteps, &QListWidget::currentRowChanged, this, [this] { updateButtons(); });
    connect(cmdStepUp, &QPushButton::clicked, this, [this] { cmdStepUp_Click(); });
    connect(cmdStepDown, &QPushButton::clicked, this, [this] { cmdStepDown_Click(); });
    connect(cmdStepRemove, &QPushButton::clicked, this, [this] { cmdStepRemove_Click(); });
    connect(cmdStepsClear, &QPushButton::clicked, this, [this] { cmdStepsClear_Click(); });
    connect(cmdRunSteps, &QPushButton::clicked, this, [this] { m_host.runSteps(); });
    connect(cboPreset, &QComboBox::activated, this, [this](int index) { cboPreset_Click(index); });
    connect(cmdSavePreset, &QPushButton::clicked, this, [this] { cmdSavePreset_Click(); });
    connect(cmdDeletePreset, &QPushButton::clicked, this, [this] { cmdDeletePreset_Click(); });
    connect(cmdExportPreset, &QPushButton::clicked, this, [this] { cmdExportPreset_Click(); });
    connect(cmdImportPreset, &QPushButton::clicked, this, [this] { cmdImportPreset_Click(); });
    updateButtons();
}

void StepsPanel::append(const rules::Rule& rule)
{
    m_steps.push_back(rule);
    showSteps(int(m_steps.size()) - 1);
}

void StepsPanel::setSteps(rules::Steps steps)
{
    m_steps = std::move(steps);
    showSteps(m_steps.empty() ? -1 : 0);
}

void StepsPanel::showSteps(int current)
{
    Q_EMIT stepsChanged();
    lstSteps->clear();
    for (std::size_t i = 0; i < m_steps.size(); ++i) {
        const QString line =
            QStringLiteral("%1. %2：%3").arg(i + 1).arg(rules::commandName(m_steps[i]), rules::describe(m_steps[i]));
        auto* item = new QListWidgetItem(line, lstSteps);
        item->setToolTip(line); // a long description shows whole
    }
    lstSteps->setCurrentRow(current);
    updateButtons();
}

void StepsPanel::updateButtons()
{
    const int row = lstSteps->currentRow();
    const int count = int(m_steps.size());
    cmdStepUp->setEnabled(row > 0);
    cmdStepDown->setEnabled(row >= 0 && row < count - 1);
    cmdStepRemove->setEnabled(row >= 0);
    cmdStepsClear->setEnabled(count > 0);
    cmdRunSteps->setEnabled(count > 0);
    cmdSavePreset->setEnabled(count > 0);
    cmdExportPreset->setEnabled(count > 0);
    cmdDeletePreset->setEnabled(!chosenPreset().isEmpty());
}

void StepsPanel::cmdStepUp_Click()
{
    const int row = lstSteps->currentRow();
    if (row <= 0 || row >= int(m_steps.size()))
        return;
    std::swap(m_steps[std::size_t(row)], m_steps[std::size_t(row - 1)]);
    showSteps(row - 1);
}

void StepsPanel::cmdStepDown_Click()
{
    const int row = lstSteps->currentRow();
    if (row < 0 || row + 1 >= int(m_steps.size()))
        return;
    std::swap(m_steps[std::size_t(row)], m_steps[std::size_t(row + 1)]);
    showSteps(row + 1);
}

void StepsPanel::cmdStepRemove_Click()
{
    const int row = lstSteps->currentRow();
    if (row < 0 || row >= int(m_steps.size()))
        return;
    m_steps.erase(m_steps.begin() + row);
    showSteps(std::min(row, int(m_steps.size()) - 1));
}

void StepsPanel::cmdStepsClear_Click()
{
    setSteps({});
}

// Presets.

QString StepsPanel::chosenPreset() const
{
    return cboPreset->currentIndex() >= 0 ? cboPreset->currentText() : QString();
}

void StepsPanel::choosePreset(const QString& name)
{
    cboPreset->setCurrentIndex(name.isEmpty() ? -1 : cboPreset->findText(name, Qt::MatchExactly));
    updateButtons();
}

void StepsPanel::refreshPresets()
{
    auto names = std::make_shared<QStringList>();
    const filelist::PresetStore store = m_store;
    if (!m_host.onDisk([store, names](platform::JobControl&) { *names = store.names(); }, m_store.folder(),
                       QStringLiteral("预设列表没有更新")))
        return;
    const QString chosen = chosenPreset();
    cboPreset->clear();
    cboPreset->addItems(*names);
    choosePreset(chosen);
}

void StepsPanel::cboPreset_Click(int index)
{
    if (index < 0)
        return;
    const QString name = cboPreset->itemText(index);
    auto read = std::make_shared<rules::StepsRead>();
    const filelist::PresetStore store = m_store;
    const bool done = m_host.onDisk([store, name, read](platform::JobControl&) { *read = store.load(name); },
                                    m_store.pathOf(name), QStringLiteral("预设没有载入，步骤没有变"));
    if (done && !read->steps)
        warn(read->error + QStringLiteral("\n\n步骤没有变。"));
    if (!done || !read->steps) {
        // The list goes back to the preset the steps were last loaded from or saved as.
        choosePreset(m_loaded);
        return;
    }
    m_loaded = name;
    setSteps(std::move(*read->steps));
}

void StepsPanel::cmdSavePreset_Click()
{
    if (m_steps.empty())
        return;
    const auto typed = m_messages.askText(window(), QStringLiteral("保存预设"), QStringLiteral("预设名："),
                                          chosenPreset());
    if (!typed)
        return;
    const QString name = typed->trimmed();
    if (const QString problem = filelist::PresetStore::checkName(name); !problem.isEmpty()) {
        warn(problem + QStringLiteral("，所以预设没有保存。"));
        return;
    }
    const filelist::PresetStore store = m_store;
    auto names = std::make_shared<QStringList>();
    if (!m_host.onDisk([store, names](platform::JobControl&) { *names = store.names(); }, m_store.folder(),
                       QStringLiteral("预设没有保存")))
        return;
    if (names->contains(name) && !ask(QStringLiteral("已经有名为“%1”的预设，要用现在的步骤替换它吗？").arg(name)))
        return;
    auto error = std::make_shared<QString>();
    const rules::Steps steps = m_steps;
    if (!m_host.onDisk([store, name, steps, error](platform::JobControl&) { *error = store.save(name, steps); },
                       m_store.folder(), QStringLiteral("预设没有保存")))
        return;
    if (!error->isEmpty()) {
        warn(*error);
        return;
    }
    m_loaded = name;
    refreshPresets();
    choosePreset(name);
}

void StepsPanel::cmdDeletePreset_Click()
{
    const QString name = chosenPreset();
    if (name.isEmpty() || !ask(QStringLiteral("要删除预设“%1”吗？步骤列表不受影响。").arg(name)))
        return;
    auto error = std::make_shared<QString>();
    const filelist::PresetStore store = m_store;
    if (!m_host.onDisk([store, name, error](platform::JobControl&) { *error = store.remove(name); },
                       m_store.folder(), QStringLiteral("预设没有删除")))
        return;
    if (!error->isEmpty())
        warn(*error);
    if (m_loaded == name)
        m_loaded.clear();
    refreshPresets();
}

void StepsPanel::cmdExportPreset_Click()
{
    if (m_steps.empty())
        return;
    const QString suggested = (chosenPreset().isEmpty() ? QStringLiteral("步骤") : chosenPreset()) + QStringLiteral(".json");
    const QString chosen = m_messages.askSaveFile(window(), QStringLiteral("导出预设"), suggested, kPresetFilter);
    if (chosen.isEmpty())
        return;
    const QByteArray path = QFile::encodeName(chosen);
    auto error = std::make_shared<QString>();
    const platform::FileSystem* fs = &m_fs;
    const rules::Steps steps = m_steps;
    if (!m_host.onDisk([fs, path, steps, error](platform::JobControl&) { *error = filelist::writePresetFile(*fs, path, steps); },
                       path, QStringLiteral("预设没有导出")))
        return;
    if (!error->isEmpty())
        warn(*error);
}

void StepsPanel::cmdImportPreset_Click()
{
    const QString chosen = m_messages.askOpenFile(window(), QStringLiteral("导入预设"), kPresetFilter);
    if (chosen.isEmpty())
        return;
    const QByteArray path = QFile::encodeName(chosen);
    auto read = std::make_shared<rules::StepsRead>();
    const platform::FileSystem* fs = &m_fs;
    if (!m_host.onDisk([fs, path, read](platform::JobControl&) { *read = filelist::readPresetFile(*fs, path); }, path,
                       QStringLiteral("预设没有导入，步骤没有变")))
        return;
    if (!read->steps) {
        warn(read->error + QStringLiteral("\n\n步骤没有变。"));
        return;
    }
    // Imported steps are no saved preset until the user saves them as one.
    m_loaded.clear();
    choosePreset({});
    setSteps(std::move(*read->steps));
}

void StepsPanel::warn(const QString& text)
{
    m_messages.warning(window(), window()->windowTitle(), text);
}

bool StepsPanel::ask(const QString& text)
{
    return m_messages.question(window(), window()->windowTitle(), text);
}

} // namespace ui
