#include "ui/summarydialog.h"

#include "ui/messagepresenter.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

int widest(const QFontMetrics& metrics, const QStringList& lines)
{
    int width = 0;
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    return width;
}

// The width of one Chinese character, the unit the dialog's widths are reckoned in.
int em(const QFontMetrics& metrics)
{
    return metrics.horizontalAdvance(QChar(0x4E2D));
}

} // namespace

SummaryDialog::SummaryDialog(const QString& title, const QString& heading, const QStringList& lines, QWidget* parent)
    : QDialog(parent), m_text(summaryText(heading, lines))
{
    setObjectName(QStringLiteral("SummaryDialog"));
    setWindowTitle(title);

    auto* icon = new QLabel(this);
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()
                        ->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this)
                        .pixmap(QSize(iconSize, iconSize), devicePixelRatio()));

    lblSummaryHeading = new QLabel(heading, this);
    lblSummaryHeading->setObjectName(QStringLiteral("lblSummaryHeading"));
    lblSummaryHeading->setTextFormat(Qt::PlainText);
    lblSummaryHeading->setWordWrap(true);
    lblSummaryHeading->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A folder's name in the heading may have no place to break; the width is fitToScreen()'s
    // to decide, not the longest word's.
    lblSummaryHeading->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    txtSummaryFiles = new QTextEdit(this);
    txtSummaryFiles->setObjectName(QStringLiteral("txtSummaryFiles"));
    txtSummaryFiles->setAccessibleName(QStringLiteral("文件清单"));
    txtSummaryFiles->setReadOnly(true);
    txtSummaryFiles->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtSummaryFiles->setTabChangesFocus(true);
    txtSummaryFiles->setUndoRedoEnabled(false);
    // File names have no spaces to break at; a long one breaks anywhere rather than widening the list.
    txtSummaryFiles->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    txtSummaryFiles->setHidden(lines.isEmpty());
    {
        // Each line stands apart from the next, and the rows of a wrapped name stay indented
        // under its first one, so where a file's line starts is plain.
        QTextBlockFormat entry;
        entry.setBottomMargin(fontMetrics().height() / 3.0);
        entry.setLeftMargin(em(fontMetrics()));
        entry.setTextIndent(-em(fontMetrics()));
        QTextCursor cursor(txtSummaryFiles->document());
        cursor.setBlockFormat(entry);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                cursor.insertBlock(entry);
            cursor.insertText(lines[i]);
        }
    }
    txtSummaryFiles->moveCursor(QTextCursor::Start); // the list opens at its first line

    auto* buttons = new QDialogButtonBox(this);
    cmdCopySummary = buttons->addButton(QStringLiteral("复制"), QDialogButtonBox::ActionRole);
    cmdCopySummary->setObjectName(QStringLiteral("cmdCopySummary"));
    cmdCopySummary->setToolTip(QStringLiteral("把这里的全部文字复制到剪贴板"));
    cmdSummaryOk = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    cmdSummaryOk->setObjectName(QStringLiteral("cmdSummaryOk"));
    cmdSummaryOk->setDefault(true);
    cmdSummaryOk->setFocus();
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(cmdCopySummary, &QPushButton::clicked, this, [this] {
        QGuiApplication::clipboard()->setText(m_text);
        cmdCopySummary->setText(QStringLiteral("已复制"));
    });

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(lblSummaryHeading, 0, 1);
    layout->addWidget(txtSummaryFiles, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(1, 1);

    fitToScreen(heading, lines);
}

QSize SummaryDialog::room() const
{
    const QWidget* window = parentWidget() ? parentWidget()->window() : this;
    QSize size = window->screen()->availableGeometry().size();
    // The dialog's frame is not known before it is shown; its window's is the best guess.
    if (window != this)
        size -= window->frameGeometry().size() - window->size();
    return size;
}

void SummaryDialog::fitToScreen(const QString& heading, const QStringList& lines)
{
    const QSize most = room();
    const QFontMetrics metrics = fontMetrics();
    const int unit = em(metrics);
    // A hidden dialog lays itself out only when asked to.
    const auto layOut = [this](int w, int h) {
        resize(w, h);
        layout()->invalidate();
        layout()->activate();
    };
    // Laid out once, the dialog tells what its icon, margins and buttons take besides the text.
    layOut(most.width(), most.height());
    const int besideText = width() - lblSummaryHeading->width();
    const bool listed = !lines.isEmpty();
    int wanted = widest(metrics, heading.split(QLatin1Char('\n')));
    if (listed) {
        const int listChrome = 2 * txtSummaryFiles->frameWidth()
            + 2 * int(std::ceil(txtSummaryFiles->document()->documentMargin()))
            + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, txtSummaryFiles);
        wanted = std::max(wanted, widest(metrics, lines) + unit + listChrome);
    }
    // Short lines still get a box wide enough to read as one; long ones wrap at a width that
    // reads well.
    const int w = std::min(besideText + std::clamp(wanted, 24 * unit, 48 * unit), most.width());
    layOut(w, most.height());
    int h = 0;
    if (listed) {
        // The list takes the height its lines need at this width; more than the room, and it scrolls.
        const int frame = 2 * txtSummaryFiles->frameWidth();
        QTextDocument* document = txtSummaryFiles->document();
        document->setTextWidth(txtSummaryFiles->width() - frame);
        h = height() - txtSummaryFiles->height() + frame + int(std::ceil(document->size().height()));
    } else {
        h = std::max(heightForWidth(w), minimumSizeHint().height());
    }
    resize(w, std::min(h, most.height()));
}

} // namespace ui
