#pragma once

#include "platform/filesystem.h"
#include "platform/volumes.h"

#include <QByteArray>
#include <QWidget>

#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace filelist {
class FileListModel;
class FolderListModel;
} // namespace filelist

namespace ui {

// The program's one window. Controls carry the names the rest of the program and the tests
// know them by (objectName "Option1(2)" for member 2 of the option array Option1); the event
// handlers read the controls, call the logic in filelist/ and rules/, and write results back.
class Form1 final : public QWidget {
    Q_OBJECT

public:
    // programFolder is the folder the program runs from, which the window opens on.
    explicit Form1(const QByteArray& programFolder,
                   const platform::FileSystem& fs = platform::systemFileSystem(),
                   QWidget* parent = nullptr);
    ~Form1() override;

    [[nodiscard]] filelist::FileListModel& fileList() { return *m_files; }

    // Event handlers, each run by its control's event; public so tests can drive them as the
    // toolkit would.
    void Form_Load();
    void Combo1_Click();
    void Check1_Click(int index);
    void cmdSelect_Click(int index);

private:
    void createControls();
    void createPage0(QWidget* page);
    void createPage1(QWidget* page);
    void createPage2(QWidget* page);
    void createPage3(QWidget* page);
    void connectHandlers();

    void showFolder(const QByteArray& folder);

    const platform::FileSystem& m_fs;
    const QByteArray m_programFolder;
    filelist::FileListModel* m_files = nullptr;
    filelist::FolderListModel* m_folders = nullptr;
    std::vector<platform::Volume> m_volumes;

    // Left column, middle column and the path strip.
    QComboBox* Drive1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QListView* Dir1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QCheckBox*, 4> Check1{};
    QListView* File1 = nullptr;
    std::array<QPushButton*, 4> cmdSelect{};
    QGroupBox* Frame12 = nullptr;
    QLineEdit* txtPath = nullptr;
    QPushButton* cmdGoPath = nullptr;
    QTabWidget* SSTab1 = nullptr;

    // Page 0, case and space conversion.
    QGroupBox* Frame2 = nullptr;
    std::array<QCheckBox*, 2> Check2{};
    QGroupBox* Frame3 = nullptr;
    std::array<QRadioButton*, 3> Option1{};
    QGroupBox* Frame4 = nullptr;
    std::array<QRadioButton*, 2> Option2{};
    QGroupBox* Frame5 = nullptr;
    std::array<QLabel*, 2> Label2{};
    QLabel* lblS1 = nullptr;
    QLabel* lblT1 = nullptr;
    QPushButton* Command1 = nullptr;

    // Page 1, custom text and numbering. Label4 has members 0, 1 and 4 only.
    QGroupBox* Frame6 = nullptr;
    QLineEdit* Text1 = nullptr;
    std::array<QLabel*, 1> Label3{};
    QLineEdit* txtStep = nullptr;
    QGroupBox* Frame7 = nullptr;
    std::array<QRadioButton*, 6> Option3{};
    QGroupBox* Frame8 = nullptr;
    std::array<QLabel*, 5> Label4{};
    std::array<QLabel*, 2> lblSource{};
    std::array<QLabel*, 2> lblTarget{};
    QPushButton* Command2 = nullptr;

    // Page 2, removal, extension and script conversion.
    QGroupBox* Frame9 = nullptr;
    QLabel* Label8 = nullptr;
    QLineEdit* txtRemoveStr = nullptr;
    QPushButton* cmdRemoveStr = nullptr;
    QGroupBox* Frame10 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* txtNewExt = nullptr;
    QPushButton* cmdChangeExt = nullptr;
    QGroupBox* Frame11 = nullptr;
    QPushButton* cmdJ2F = nullptr;
    QPushButton* cmdF2J = nullptr;
    QLabel* Label9 = nullptr;

    // Page 3, About.
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QPushButton* cmdExit = nullptr;
};

} // namespace ui
