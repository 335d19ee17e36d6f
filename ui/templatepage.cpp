#include "ui/templatepage.h"

#include "rules/customname.h"
#include "rules/nametemplate.h"
#include "ui/controlhelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>

namespace ui {

namespace {

// The file the example shows when no file is selected, with what a camera would say of it.
const char16_t kSampleName[] = u"DSC_0001.JPG";

rules::FileFacts sampleFacts()
{
    rules::FileFacts facts;
    facts.taken = QDateTime(QDate(2023, 7, 15), QTime(9, 30, 12));
    facts.modified = QDateTime(QDate(2023, 7, 16), QTime(20, 5, 0));
    facts.camera = QStringLiteral("NIKON D750");
    facts.width = 6016;
    facts.height = 4016;
    facts.folder = QStringLiteral("海南");
    return facts;
}

} // namespace

QStringList TemplatePage::fieldTexts()
{
    return {QStringLiteral("{原名}"),          QStringLiteral("{扩展名}"),
            QStringLiteral("{编号}"),          QStringLiteral("{拍摄时间:yyyy-MM-dd}"),
            QStringLiteral("{修改时间:yyyy-MM-dd}"), QStringLiteral("{相机}"),
            QStringLiteral("{宽}"),            QStringLiteral("{高}"),
            QStringLiteral("{文件夹}")};
}

TemplatePage::TemplatePage(PageHost& host, QWidget* parent) : RulePage(host, parent)
{
    fraTemplate = createFrame(this, "fraTemplate", QStringLiteral("模板（扩展名不变）"));
    txtTemplate = makeControl<QLineEdit>(fraTemplate, "txtTemplate", QStringLiteral("{拍摄时间:yyyy-MM-dd} {编号}"));
    txtTemplate->setToolTip(QStringLiteral("字段写在大括号里，比如 {原名}、{编号}、{拍摄时间:yyyy-MM-dd}；"
                                           "“{{”和“}}”写出大括号本身"));
    txtTemplate->setAccessibleName(QStringLiteral("模板"));
    cmdInsertField = makeControl<QPushButton>(fraTemplate, "cmdInsertField", QStringLiteral("插入"));
    auto* fields = new QMenu(cmdInsertField);
    for (const QString& field : fieldTexts()) {
        connect(fields->addAction(field), &QAction::triggered, this, [this, field] {
            txtTemplate->insert(field);
            txtTemplate->setFocus();
        });
    }
    cmdInsertField->setMenu(fields);
    cmdInsertField->setAccessibleDescription(QStringLiteral("在模板的光标处插入一个字段"));
    lblTemplateError = makeControl<QLabel>(fraTemplate, "lblTemplateError");
    lblTemplateError->setWordWrap(true);
    lblTemplateError->hide();
    makeRed(lblTemplateError);
    makeResult(lblTemplateError);
    auto* templateGrid = new QGridLayout(fraTemplate);
    templateGrid->addWidget(txtTemplate, 0, 0);
    templateGrid->addWidget(cmdInsertField, 0, 1);
    templateGrid->addWidget(lblTemplateError, 1, 0, 1, 2);
    templateGrid->setColumnStretch(0, 1);

    fraTemplateNumber = createFrame(this, "fraTemplateNumber", QStringLiteral("{编号}"));
    m_numbering = NumberingControls::make(fraTemplateNumber, QStringLiteral("Template"));
    m_numbering.start->setAccessibleName(QStringLiteral("模板的起始编号"));
    m_numbering.order->setAccessibleName(QStringLiteral("模板的编号顺序"));
    m_numbering.pairs->setAccessibleName(QStringLiteral("模板：同名文件一起改名"));
    lblTemplateStep = makeControl<QLabel>(fraTemplateNumber, "lblTemplateStep", QStringLiteral("增量："));
    txtTemplateStep = makeControl<QLineEdit>(fraTemplateNumber, "txtTemplateStep", QStringLiteral("1"));
    txtTemplateStep->setMaximumWidth(txtTemplateStep->fontMetrics().horizontalAdvance(QStringLiteral("-327680")) + 12);
    lblTemplateStep->setBuddy(txtTemplateStep);
    txtTemplateStep->setAccessibleName(QStringLiteral("模板的增量"));
    lblTemplateDigits = makeControl<QLabel>(fraTemplateNumber, "lblTemplateDigits", QStringLiteral("位数："));
    spnTemplateDigits = makeControl<QSpinBox>(fraTemplateNumber, "spnTemplateDigits");
    spnTemplateDigits->setRange(0, rules::kMaxWidth);
    spnTemplateDigits->setValue(3);
    lblTemplateDigits->setBuddy(spnTemplateDigits);
    spnTemplateDigits->setAccessibleName(QStringLiteral("模板的位数"));
    auto* numberGrid = new QGridLayout(fraTemplateNumber);
    numberGrid->addWidget(m_numbering.startLabel, 0, 0);
    numberGrid->addWidget(m_numbering.start, 0, 1);
    numberGrid->addWidget(lblTemplateStep, 0, 2);
    numberGrid->addWidget(txtTemplateStep, 0, 3);
    numberGrid->addWidget(lblTemplateDigits, 1, 0);
    numberGrid->addWidget(spnTemplateDigits, 1, 1);
    numberGrid->addWidget(m_numbering.orderLabel, 1, 2);
    numberGrid->addWidget(m_numbering.order, 1, 3);
    numberGrid->addWidget(m_numbering.pairs, 2, 0, 1, 4);
    numberGrid->setColumnStretch(1, 1);
    numberGrid->setColumnStretch(3, 1);

    fraTemplateExample = createFrame(this, "fraTemplateExample", QStringLiteral("示例"));
    auto* exampleGrid = new QGridLayout(fraTemplateExample);
    exampleGrid->addWidget(makeControl<QLabel>(fraTemplateExample, "lblTemplateSourceCaption", QStringLiteral("原文件名为：")), 0, 0);
    lblTemplateSource = makeControl<QLabel>(fraTemplateExample, "lblTemplateSource");
    makeResult(lblTemplateSource);
    exampleGrid->addWidget(lblTemplateSource, 0, 1);
    exampleGrid->addWidget(makeControl<QLabel>(fraTemplateExample, "lblTemplateTargetCaption", QStringLiteral("转换后成为：")), 1, 0);
    lblTemplateTarget = makeControl<QLabel>(fraTemplateExample, "lblTemplateTarget");
    makeRed(lblTemplateTarget);
    makeResult(lblTemplateTarget);
    exampleGrid->addWidget(lblTemplateTarget, 1, 1);
    exampleGrid->setColumnStretch(1, 1);

    QPushButton* step = makeStepButton(this, "cmdTemplateStep");
    cmdTemplate = makeControl<QPushButton>(this, "cmdTemplate", QStringLiteral("改名"));
    cmdTemplate->setAccessibleDescription(QStringLiteral("按模板给选中的文件改名"));
    addCommand(cmdTemplate, step);

    auto* page = new QVBoxLayout(this);
    page->addWidget(fraTemplate);
    page->addWidget(fraTemplateNumber);
    page->addWidget(fraTemplateExample);
    page->addStretch(1);
    page->addLayout(commandRow({step, cmdTemplate}));
    compactLayouts(this);

    connect(txtTemplate, &QLineEdit::textChanged, this, [this] { followInputs(); });
    connect(txtTemplateStep, &QLineEdit::textChanged, this, [this] { followInputs(); });
    connect(spnTemplateDigits, &QSpinBox::valueChanged, this, [this] { followInputs(); });
    connect(m_numbering.start, &QLineEdit::textChanged, this, [this] { followInputs(); });
    connect(m_numbering.order, &QComboBox::currentIndexChanged, this, [this] { followInputs(); });
    connect(m_numbering.pairs, &QCheckBox::toggled, this, [this] { followInputs(); });
    refreshExample();
}

rules::Rule TemplatePage::rule(int) const
{
    rules::TemplateRule rule;
    rule.text = txtTemplate->text();
    rule.step = rules::parseStep(txtTemplateStep->text()).value_or(1);
    rule.width = spnTemplateDigits->value();
    rule.start = m_numbering.startValue();
    rule.order = m_numbering.orderValue();
    rule.pairs = m_numbering.pairsValue();
    return rule;
}

QString TemplatePage::refusal(int, Use use, qint64 files) const
{
    if (txtTemplate->text().trimmed().isEmpty())
        return QStringLiteral("模板是空的，所以%1。").arg(notDone(use));
    if (const QString error = rules::parseTemplate(txtTemplate->text()).error; !error.isEmpty())
        return QStringLiteral("模板不能用，所以%1。\n%2").arg(notDone(use), error);
    const auto step = rules::parseStep(txtTemplateStep->text());
    if (!step)
        return QStringLiteral("增量“%1”不是 -32768 到 32767 之间的整数，所以%2。").arg(txtTemplateStep->text(), notDone(use));
    return m_numbering.refusal(use == Use::Run ? files : -1, *step, notDone(use));
}

void TemplatePage::refreshExample()
{
    const rules::ParsedTemplate parsed = rules::parseTemplate(txtTemplate->text());
    lblTemplateError->setText(parsed.error);
    lblTemplateError->setToolTip(parsed.error);
    lblTemplateError->setVisible(!parsed.error.isEmpty());
    // A selected file of the list, named as the list's column of new names shows it; else a
    // sample photo with what a camera would say of it.
    if (const auto listed = listExample()) {
        lblTemplateSource->setText(listed->first);
        lblTemplateTarget->setText(listed->second.isEmpty() ? QStringLiteral("……") : listed->second);
        return;
    }
    const QString sample = QString::fromUtf16(kSampleName);
    lblTemplateSource->setText(sample);
    const auto step = rules::parseStep(txtTemplateStep->text());
    if (!parsed.error.isEmpty() || !step || !m_numbering.startValid()) {
        lblTemplateTarget->setText(QStringLiteral("—"));
        return;
    }
    const qsizetype dot = sample.lastIndexOf(QLatin1Char('.'));
    const QString number = rules::numberText(rules::numberFor(1, *step, m_numbering.startValue()), spnTemplateDigits->value());
    const rules::TemplateName name =
        rules::renderTemplate(parsed.parts, sample.left(dot), sample.mid(dot + 1), number, sampleFacts());
    lblTemplateTarget->setText(name.base.isEmpty() ? QStringLiteral("—") : name.base + sample.mid(dot));
}

} // namespace ui
