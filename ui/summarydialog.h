#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;
class QTextEdit;

namespace ui {

// How a run ended: a warning icon, the heading, and the files it could not rename in a list
// that wraps long names and scrolls; "复制" puts the whole text on the clipboard. However many
// lines there are and however long, the dialog opens within the screen its window is on, with
// its buttons in reach.
class SummaryDialog final : public QDialog {
    Q_OBJECT

public:
    SummaryDialog(const QString& title, const QString& heading, const QStringList& lines, QWidget* parent = nullptr);

private:
    // The room the dialog may take: the screen's available area less the window manager's frame.
    [[nodiscard]] QSize room() const;
    // Takes the size the text asks for, within room().
    void fitToScreen(const QString& heading, const QStringList& lines);

    QString m_text;
    QLabel* lblSummaryHeading = nullptr;
    QTextEdit* txtSummaryFiles = nullptr;
    QPushButton* cmdCopySummary = nullptr;
    QPushButton* cmdSummaryOk = nullptr;
};

} // namespace ui
