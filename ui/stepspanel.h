#pragma once

#include "filelist/presets.h"
#include "platform/asidejob.h"
#include "rules/rule.h"

#include <QGroupBox>
#include <QString>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace ui {

class MessagePresenter;

// What the steps panel asks of the window it is on.
class StepsHost {
public:
    virtual ~StepsHost() = default;
    // Runs job, which reads or writes the disk holding path, on a thread of its own while the
    // window draws, as the window runs every disk call; false when it did not finish (the disk
    // did not answer, the user gave up), and then the user has been told that notDone.
    virtual bool onDisk(const platform::AsideJob::Job& job, const QByteArray& path, const QString& notDone) = 0;
    // "按步骤改名" was pressed: the steps run as one run over the selected files.
    virtual void runSteps() = 0;
};

// The steps panel beside the pages: a list of rules kept to run one after another on every
// selected file in a single run, each line the step's number, its command and its options;
// buttons to move a step up or down, remove it, clear the list and run it; and the presets,
// step lists saved under a name, with export to and import from a file anywhere.
//
// A preset that can't be read or saved is told in one message naming the file and what is
// wrong, and the steps stay as they were.
class StepsPanel final : public QGroupBox {
    Q_OBJECT

public:
    StepsPanel(StepsHost& host, const platform::FileSystem& fs, MessagePresenter& messages,
               QWidget* parent = nullptr);

    [[nodiscard]] const rules::Steps& steps() const { return m_steps; }
    void append(const rules::Rule& rule);
    void setSteps(rules::Steps steps);
    // Reads the saved presets' names again into the preset list; the chosen one stays chosen.
    void refreshPresets();

    // Event handlers of the panel's controls.
    void cmdStepUp_Click();
    void cmdStepDown_Click();
    void cmdStepRemove_Click();
    void cmdStepsClear_Click();
    // A preset was chosen in the list "预设：": its steps replace the steps.
    void cboPreset_Click(int index);
    void cmdSavePreset_Click();
    void cmdDeletePreset_Click();
    void cmdExportPreset_Click();
    void cmdImportPreset_Click();

Q_SIGNALS:
    // The list of steps changed.
    void stepsChanged();

private:
    // Shows the steps, row current selected.
    void showSteps(int current);
    void updateButtons();
    // Shows name chosen in the preset list, or none when it is empty.
    void choosePreset(const QString& name);
    [[nodiscard]] QString chosenPreset() const;
    void warn(const QString& text);
    [[nodiscard]] bool ask(const QString& text);

    StepsHost& m_host;
    const platform::FileSystem& m_fs;
    MessagePresenter& m_messages;
    filelist::PresetStore m_store;
    rules::Steps m_steps;
    // The preset the steps were last loaded from or saved as; empty after an import.
    QString m_loaded;

    QListWidget* lstSteps = nullptr;
    QPushButton* cmdStepUp = nullptr;
    QPushButton* cmdStepDown = nullptr;
    QPushButton* cmdStepRemove = nullptr;
    QPushButton* cmdStepsClear = nullptr;
    QPushButton* cmdRunSteps = nullptr;
    QLabel* lblPreset = nullptr;
    QComboBox* cboPreset = nullptr;
    QPushButton* cmdSavePreset = nullptr;
    QPushButton* cmdDeletePreset = nullptr;
    QPushButton* cmdExportPreset = nullptr;
    QPushButton* cmdImportPreset = nullptr;
};

} // namespace ui
