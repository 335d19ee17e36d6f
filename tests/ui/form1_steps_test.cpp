#include "filelist/filelistmodel.h"
#include "filelist/presets.h"
#include "platform/faultyfilesystem.h"
#include "tests/support/controls.h"
#include "tests/support/recordingpresenter.h"
#include "tests/support/scripttables.h"
#include "tests/support/statehome.h"
#include "tests/support/tempfolder.h"
#include "ui/application.h"
#include "ui/form1.h"
#include "ui/planmodel.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <memory>

using testsupport::RecordingPresenter;
using testsupport::TempFolder;

class Form1StepsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ui::configureApplication(); }
    void init() { testsupport::useFreshStateHome(); }
    void cleanup();

    void studentCleanUpIsOneRunAndOneUndo();
    void importedStepsRunAsOneRun_data();
    void importedStepsRunAsOneRun();
    void aStepThatCanNotRunIsNotAdded_data();
    void aStepThatCanNotRunIsNotAdded();
    void aStepThatCanNotRunRefusesTheWholeRun();
    void stepsMoveAndGo();
    void presetsAreSavedListedLoadedAndDeleted();
    void aBadPresetLeavesTheStepsAsTheyWere_data();
    void aBadPresetLeavesTheStepsAsTheyWere();

private:
    // A new window on a new folder holding names; with table, the folder holds that F2J.txt.
    void open(const QStringList& names, const QByteArray* table = nullptr);
    // Selects every file but the table start-up made, and but those named.
    void selectAll(const QStringList& but = {})
    {
        auto& list = m_form->fileList();
        for (int i = 0; i < list.count(); ++i)
            list.setSelected(i, list.itemBytes(i) != "F2J.txt" && !but.contains(list.item(i)));
    }
    // A click where the user would click: in the middle of the control as the window lays it out.
    void click(const QString& name)
    {
        QVERIFY(testsupport::showControl(*m_form, *control<QAbstractButton>(name.toLatin1().constData())));
        QTest::mouseClick(control<QAbstractButton>(name.toLatin1().constData()), Qt::LeftButton);
    }
    void type(const char* name, const QString& text)
    {
        auto* edit = control<QLineEdit>(name);
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    // Imports the preset file holding json.
    void import(const QByteArray& json);
    void choosePreset(const QString& name);
    QStringList steps() const;
    QStringList presets() const;
    QStringList names() const;
    template <class T>
    T* control(const char* name) const
    {
        return testsupport::findControl<T>(*m_form, name);
    }

    std::unique_ptr<TempFolder> m_folder;
    TempFolder m_elsewhere; // for preset files outside the preset folder
    std::unique_ptr<platform::FaultyFileSystem> m_fs;
    RecordingPresenter m_messages;
    std::unique_ptr<ui::Form1> m_form;
};

void Form1StepsTest::open(const QStringList& names, const QByteArray* table)
{
    m_form.reset();
    m_folder = std::make_unique<TempFolder>();
    for (const QString& name : names)
        m_folder->add(name.toUtf8());
    if (table)
        m_folder->write("F2J.txt", *table);
    m_fs = std::make_unique<platform::FaultyFileSystem>(platform::systemFileSystem());
    m_messages = {};
    m_form = std::make_unique<ui::Form1>(m_folder->path(), *m_fs, &m_messages);
}

void Form1StepsTest::cleanup()
{
    m_form.reset();
    m_fs.reset();
    m_folder.reset();
}

void Form1StepsTest::import(const QByteArray& json)
{
    m_elsewhere.write("preset.json", json);
    m_messages.file = QFile::decodeName(m_elsewhere.file("preset.json"));
    click(QStringLiteral("cmdImportPreset"));
}

void Form1StepsTest::choosePreset(const QString& name)
{
    auto* combo = control<QComboBox>("cboPreset");
    const int index = combo->findText(name);
    QVERIFY2(index >= 0, qPrintable(name));
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

QStringList Form1StepsTest::steps() const
{
    QStringList out;
    auto* list = control<QListWidget>("lstSteps");
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

QStringList Form1StepsTest::presets() const
{
    QStringList out;
    auto* combo = control<QComboBox>("cboPreset");
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

QStringList Form1StepsTest::names() const
{
    QStringList out;
    for (const auto& [name, content] : m_folder->contents()) {
        if (name != "F2J.txt")
            out << QString::fromUtf8(name);
    }
    out.sort();
    return out;
}

// Traditional to simplified, spaces to "_", lower case: three steps, one run, one preview, one
// 撤销.
void Form1StepsTest::studentCleanUpIsOneRunAndOneUndo()
{
    const QByteArray table = testsupport::makeScriptTable(
        {{u'國', u'国'}, {u'歷', u'历'}, {u'課', u'课'}, {u'筆', u'笔'}, {u'記', u'记'}, {u'週', u'周'}});
    const QStringList before{QStringLiteral("keep Me.TXT"), QString::fromUtf8("中國歷史 課程.PDF"),
                             QString::fromUtf8("筆記 第1週 Draft.DOCX")};
    open(before, &table);
    click(QStringLiteral("cmdF2JStep"));
    type("txtFind", QStringLiteral(" "));
    type("txtReplace", QStringLiteral("_"));
    click(QStringLiteral("cmdReplaceStep"));
    click(QStringLiteral("Option1(1)"));
    click(QStringLiteral("cmdCaseStep"));
    QCOMPARE(steps(), (QStringList{QStringLiteral("1. 繁体转简体：繁体字换成简体字，如 中國→中国"),
                                   QStringLiteral("2. 替换：“ ”替换为“_”；全部替换；前缀和后缀"),
                                   QStringLiteral("3. 文件名转换：小写；前缀和后缀；删除空格")}));

    selectAll({before[0]});
    click(QStringLiteral("chkPreview"));
    QStringList planned;
    m_messages.onPlan = [&](const filelist::RenamePlan& plan) {
        for (qsizetype i = 0; i < plan.size(); ++i)
            planned << plan.newText(i) + QLatin1Char(':') + ui::PlanModel::stateText(plan.state(i));
    };
    click(QStringLiteral("cmdRunSteps"));
    QCOMPARE(m_messages.previewed, QStringList{QStringLiteral("按步骤改名")});
    const QStringList after{QStringLiteral("keep Me.TXT"), QString::fromUtf8("中国历史_课程.pdf"),
                            QString::fromUtf8("笔记_第1周_draft.docx")};
    QCOMPARE(planned, (QStringList{after[1] + QStringLiteral(":改名"), after[2] + QStringLiteral(":改名")}));
    QCOMPARE(names(), after);
    QCOMPARE(m_fs->renameAttempts(), 2);
    QVERIFY(m_messages.messages.isEmpty());

    auto* undo = control<QPushButton>("cmdUndo");
    QVERIFY(undo->toolTip().contains(QStringLiteral("按步骤改名")));
    QVERIFY(undo->toolTip().contains(QStringLiteral("2 个文件")));
    click(QStringLiteral("cmdUndo"));
    QCOMPARE(names(), before);
    QVERIFY(!undo->isEnabled()); // one run, taken back whole
    QVERIFY(m_messages.messages.isEmpty());
}

void Form1StepsTest::importedStepsRunAsOneRun_data()
{
    QTest::addColumn<QByteArray>("preset");
    QTest::addColumn<QStringList>("files"); // all selected
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("told"); // the one message, or empty for none
    QTest::newRow("numbering counts the selected files in list order")
        << QByteArray(R"({"steps": [{"rule": "case", "case": "upper"},
                                   {"rule": "custom", "text": "IMG_", "step": 5, "width": 3}]})")
        << QStringList{QStringLiteral("b.jpg"), QStringLiteral("a.jpg"), QStringLiteral("c10.png"), QStringLiteral("c9.png")}
        << QStringList{QStringLiteral("IMG_005.JPG"), QStringLiteral("IMG_010.JPG"), QStringLiteral("IMG_015.PNG"),
                       QStringLiteral("IMG_020.PNG")}
        << QString();
    // The per-file "…文件已经存在！" belongs to the custom-text command alone.
    QTest::newRow("a numbering step tells no name one by one")
        << QByteArray(R"({"steps": [{"rule": "custom", "text": "x"}]})")
        << QStringList{QStringLiteral("a"), QStringLiteral("x2")}
        << QStringList{QStringLiteral("x1"), QStringLiteral("x2")}
        << QString();
    QTest::newRow("a name taken only at the end goes to the summary")
        << QByteArray(R"({"steps": [{"rule": "remove", "text": "-copy"}, {"rule": "extension", "extension": "txt"}]})")
        << QStringList{QStringLiteral("a.txt"), QStringLiteral("a-copy.md")}
        << QStringList{QStringLiteral("a-copy.md"), QStringLiteral("a.txt")}
        << QStringLiteral("有 1 个文件没有改名：\n“a-copy.md” → “a.txt”：");
    // An order by date has the files' times read on a disk thread before the names are made.
    QTest::newRow("numbering by date from a start number")
        << QByteArray(R"({"steps": [{"rule": "custom", "text": "P", "width": 2, "start": 7, "order": "modified",
                                    "place": "replace-base"}]})")
        << QStringList{QStringLiteral("b.jpg"), QStringLiteral("a.jpg")}
        << QStringList{QStringLiteral("P07.jpg"), QStringLiteral("P08.jpg")}
        << QString();
    QTest::newRow("a step that leaves a name alone passes it on")
        << QByteArray(R"({"steps": [{"rule": "remove", "text": "zz"}, {"rule": "replace", "find": "a", "replacement": "b"}]})")
        << QStringList{QStringLiteral("a.txt"), QStringLiteral("zza")}
        << QStringList{QStringLiteral("b"), QStringLiteral("b.txt")}
        << QString();
}

void Form1StepsTest::importedStepsRunAsOneRun()
{
    QFETCH(QByteArray, preset);
    QFETCH(QStringList, files);
    QFETCH(QStringList, after);
    QFETCH(QString, told);
    open(files);
    import(preset);
    QVERIFY(m_messages.messages.isEmpty());
    selectAll();
    click(QStringLiteral("cmdRunSteps"));
    QCOMPARE(names(), after);
    QCOMPARE(m_messages.messages.size(), told.isEmpty() ? 0 : 1);
    if (!told.isEmpty())
        QVERIFY2(m_messages.messages[0].text.startsWith(told), qPrintable(m_messages.messages[0].text));
}

void Form1StepsTest::aStepThatCanNotRunIsNotAdded_data()
{
    // Actions apart by ";", each "click NAME" or "type NAME TEXT".
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QString>("told");
    QTest::newRow("case without scope") << QStringLiteral("click Check2(0);click Check2(1);click cmdCaseStep")
                                        << QStringLiteral("“前缀”和“后缀”都没有选中，新文件名会是空的，所以没有加入步骤。");
    QTest::newRow("step typed halfway") << QStringLiteral("type txtStep -;click cmdCustomStep")
                                        << QStringLiteral("增量“-”不是 -32768 到 32767 之间的整数，所以没有加入步骤。");
    QTest::newRow("nothing to remove") << QStringLiteral("click cmdRemoveStep")
                                       << QStringLiteral("需要去掉的字符串是空的");
    QTest::newRow("no extension") << QStringLiteral("type txtNewExt  ;click cmdChangeExtStep")
                                  << QStringLiteral("新扩展名是空的");
    QTest::newRow("extension with a slash") << QStringLiteral("type txtNewExt a/b;click cmdChangeExtStep")
                                            << QStringLiteral("扩展名“a/b”含有“/”，不能用在文件名里，所以没有加入步骤。");
    QTest::newRow("nothing to find") << QStringLiteral("click cmdReplaceStep") << QStringLiteral("“查找”是空的");
    QTest::newRow("nowhere to find") << QStringLiteral("type txtFind a;click Check4(0);click Check4(1);click cmdReplaceStep")
                                     << QStringLiteral("没有可以查找的地方，所以没有加入步骤。");
    QTest::newRow("bad expression") << QStringLiteral("click Check3(1);type txtFind (;click cmdReplaceStep")
                                    << QStringLiteral("正则表达式有错，所以没有加入步骤。");
    QTest::newRow("no table") << QStringLiteral("click cmdJ2FStep") << QStringLiteral("所以没有把“简体转繁体”加入步骤");
}

void Form1StepsTest::aStepThatCanNotRunIsNotAdded()
{
    QFETCH(QString, actions);
    QFETCH(QString, told);
    open({QStringLiteral("a.txt")});
    for (const QString& action : actions.split(QLatin1Char(';'))) {
        const QStringList words = action.split(QLatin1Char(' '));
        if (words[0] == QLatin1String("click"))
            click(words[1]);
        else
            type(words[1].toLatin1().constData(), action.section(QLatin1Char(' '), 2));
    }
    QCOMPARE(m_messages.messages.size(), 1);
    QVERIFY(m_messages.messages[0].warning);
    QVERIFY2(m_messages.messages[0].text.contains(told), qPrintable(m_messages.messages[0].text));
    QVERIFY(steps().isEmpty());
    QVERIFY(!control<QPushButton>("cmdRunSteps")->isEnabled());
}

// Steps loaded from a preset may not run here: a bad expression, no table. The first such step
// refuses the run, naming it, before any file is touched.
void Form1StepsTest::aStepThatCanNotRunRefusesTheWholeRun()
{
    open({QStringLiteral("a b.txt"), QString::fromUtf8("中國.txt")});
    import(R"({"steps": [{"rule": "case", "case": "upper"}, {"rule": "replace", "find": "(", "regex": true},
                         {"rule": "to-simplified"}]})");
    QCOMPARE(steps().size(), 3);
    selectAll();
    click(QStringLiteral("cmdRunSteps"));
    QCOMPARE(m_messages.messages.size(), 1);
    QVERIFY(m_messages.messages[0].text.startsWith(QStringLiteral("第 2 步“替换”不能进行：正则表达式有错")));
    QCOMPARE(m_fs->renameAttempts(), 0);

    m_messages.messages.clear();
    control<QListWidget>("lstSteps")->setCurrentRow(1);
    click(QStringLiteral("cmdStepRemove"));
    click(QStringLiteral("cmdRunSteps"));
    QCOMPARE(m_messages.messages.size(), 1);
    QVERIFY(m_messages.messages[0].text.startsWith(QStringLiteral("第 2 步“繁体转简体”不能进行：没有找到可用的繁简对照表")));
    QCOMPARE(m_fs->renameAttempts(), 0);
    QVERIFY(!control<QPushButton>("cmdUndo")->isEnabled());
}

void Form1StepsTest::stepsMoveAndGo()
{
    open({});
    for (const char* text : {"a", "b", "c"}) {
        type("txtRemoveStr", QLatin1String(text));
        click(QStringLiteral("cmdRemoveStep"));
    }
    auto* list = control<QListWidget>("lstSteps");
    QCOMPARE(list->currentRow(), 2); // the step just added
    QVERIFY(!control<QPushButton>("cmdStepDown")->isEnabled());
    click(QStringLiteral("cmdStepUp"));
    click(QStringLiteral("cmdStepUp"));
    QVERIFY(!control<QPushButton>("cmdStepUp")->isEnabled());
    QCOMPARE(steps(), (QStringList{QStringLiteral("1. 去掉字符：去掉“c”"), QStringLiteral("2. 去掉字符：去掉“a”"),
                                   QStringLiteral("3. 去掉字符：去掉“b”")}));
    click(QStringLiteral("cmdStepDown"));
    click(QStringLiteral("cmdStepRemove"));
    QCOMPARE(steps(), (QStringList{QStringLiteral("1. 去掉字符：去掉“a”"), QStringLiteral("2. 去掉字符：去掉“b”")}));
    QCOMPARE(list->currentRow(), 1);
    click(QStringLiteral("cmdStepsClear"));
    QVERIFY(steps().isEmpty());
    for (const char* name : {"cmdStepUp", "cmdStepDown", "cmdStepRemove", "cmdStepsClear", "cmdRunSteps",
                             "cmdSavePreset", "cmdExportPreset"})
        QVERIFY2(!control<QPushButton>(name)->isEnabled(), name);
    QVERIFY(m_messages.messages.isEmpty());
}

void Form1StepsTest::presetsAreSavedListedLoadedAndDeleted()
{
    open({});
    type("txtRemoveStr", QStringLiteral("-copy"));
    click(QStringLiteral("cmdRemoveStep"));
    click(QStringLiteral("cmdCaseStep"));
    const QStringList saved = steps();
    const QString name = QString::fromUtf8("每周 整理");

    m_messages.texts = {QStringLiteral("  ") + name};
    click(QStringLiteral("cmdSavePreset"));
    const QByteArray file = filelist::presetFolder() + '/' + name.toUtf8() + ".json";
    QVERIFY(QFile::exists(QFile::decodeName(file)));
    QCOMPARE(presets(), QStringList{name});
    QCOMPARE(control<QComboBox>("cboPreset")->currentText(), name);

    click(QStringLiteral("cmdStepsClear"));
    choosePreset(name);
    QCOMPARE(steps(), saved);

    // A name taken asks before it is replaced; a name that can't be one is refused.
    click(QStringLiteral("cmdStepRemove"));
    m_messages.answer = false;
    m_messages.texts = {name};
    click(QStringLiteral("cmdSavePreset"));
    QCOMPARE(m_messages.questions.last().text, QString::fromUtf8("已经有名为“每周 整理”的预设，要用现在的步骤替换它吗？"));
    choosePreset(name);
    QCOMPARE(steps(), saved);
    m_messages.texts = {QStringLiteral("a/b")};
    click(QStringLiteral("cmdSavePreset"));
    QCOMPARE(m_messages.messages.size(), 1);
    QVERIFY(m_messages.messages[0].text.contains(QStringLiteral("“/”")));
    QCOMPARE(presets(), QStringList{name});

    // Export and import carry the steps through a file anywhere.
    m_messages.file = QFile::decodeName(m_elsewhere.file("out.json"));
    click(QStringLiteral("cmdExportPreset"));
    click(QStringLiteral("cmdStepsClear"));
    click(QStringLiteral("cmdImportPreset"));
    QCOMPARE(steps(), saved);
    QCOMPARE(control<QComboBox>("cboPreset")->currentIndex(), -1); // no saved preset until saved

    // A new window lists what an earlier one saved.
    choosePreset(name);
    m_form = std::make_unique<ui::Form1>(m_folder->path(), *m_fs, &m_messages);
    QCOMPARE(presets(), QStringList{name});
    choosePreset(name);
    m_messages.answer = false;
    click(QStringLiteral("cmdDeletePreset"));
    QCOMPARE(presets(), QStringList{name});
    m_messages.answer = true;
    click(QStringLiteral("cmdDeletePreset"));
    QVERIFY(!QFile::exists(QFile::decodeName(file)));
    QVERIFY(presets().isEmpty());
    QVERIFY(!control<QPushButton>("cmdDeletePreset")->isEnabled());
    QCOMPARE(steps(), saved); // deleting a preset leaves the steps
    QCOMPARE(m_messages.messages.size(), 1);
}

void Form1StepsTest::aBadPresetLeavesTheStepsAsTheyWere_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("told");
    QTest::newRow("not JSON") << QByteArray("{\"steps\": [\n  {\"rule\": \"case\",}\n]}")
                              << QStringLiteral("不是有效的 JSON：第 2 行");
    QTest::newRow("unknown rule") << QByteArray(R"({"steps": [{"rule": "shout"}]})") << QStringLiteral("“shout”");
    QTest::newRow("wrong type") << QByteArray(R"({"steps": [{"rule": "replace", "regex": "yes"}]})")
                                << QStringLiteral("“regex”应为 true 或 false");
    QTest::newRow("out of range") << QByteArray(R"({"steps": [{"rule": "custom", "step": 40000}]})")
                                  << QStringLiteral("“step”应为 -32768 到 32767 之间的整数");
    QTest::newRow("no steps") << QByteArray(R"({"format": "quendra-rename-preset", "steps": []})")
                              << QStringLiteral("没有任何步骤");
}

void Form1StepsTest::aBadPresetLeavesTheStepsAsTheyWere()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, told);
    const QByteArray folder = filelist::presetFolder();
    QVERIFY(QDir().mkpath(QFile::decodeName(folder)));
    TempFolder presets(folder);
    presets.write("bad.json", content);
    presets.write("good.json", R"({"steps": [{"rule": "to-traditional"}, {"rule": "remove", "text": "x", "unknown": 1}]})");
    open({});
    QCOMPARE(this->presets(), (QStringList{QStringLiteral("bad"), QStringLiteral("good")}));
    click(QStringLiteral("cmdCaseStep"));
    const QStringList before = steps();

    // Chosen from the list, and imported: each says once which file and what is wrong.
    choosePreset(QStringLiteral("bad"));
    import(content);
    QCOMPARE(m_messages.messages.size(), 2);
    for (const QByteArray& path : {QByteArray(folder + "/bad.json"), m_elsewhere.file("preset.json")}) {
        const QString text = m_messages.messages.takeFirst().text;
        QVERIFY2(text.contains(QFile::decodeName(path)) && text.contains(told), qPrintable(text));
    }
    QCOMPARE(steps(), before);
    QCOMPARE(control<QComboBox>("cboPreset")->currentIndex(), -1);

    // A good preset beside it loads, fields it does not know passed over.
    choosePreset(QStringLiteral("good"));
    QCOMPARE(steps(), (QStringList{QStringLiteral("1. 简体转繁体：简体字换成繁体字，如 中国→中國"), QStringLiteral("2. 去掉字符：去掉“x”")}));
    QVERIFY(m_messages.messages.isEmpty());
}

QTEST_MAIN(Form1StepsTest)
#include "form1_steps_test.moc"
