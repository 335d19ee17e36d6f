// The window laid out at several fonts and scales: every control inside its parent, none over
// another, every caption given the width of its text.
#include "tests/support/recordingpresenter.h"
#include "tests/support/statehome.h"
#include "tests/support/tempfolder.h"
#include "ui/application.h"
#include "ui/form1.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <algorithm>

namespace {

// The widest line of text, as the widget's font draws it.
int textWidth(const QWidget& w, QString text)
{
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('&'));
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, w.fontMetrics().horizontalAdvance(line));
    return widest;
}

int lineCount(const QString& text)
{
    return int(text.count(QLatin1Char('\n'))) + 1;
}

// What is wrong with the layout of parent's visible children, and of theirs, found in faults.
class LayoutChecker {
public:
    void check(const QWidget& parent)
    {
        // A scroll area's own parts are its business; what it scrolls is the window's.
        if (const auto* scroll = qobject_cast<const QScrollArea*>(&parent)) {
            if (scroll->widget() && scroll->widget()->isVisible()) {
                const QSize least = scroll->widget()->minimumSizeHint();
                if (scroll->widget()->width() < least.width() || scroll->widget()->height() < least.height())
                    fault(*scroll->widget(), QStringLiteral("smaller than it needs, so some of it can't be reached"));
                check(*scroll->widget());
            }
            return;
        }
        if (qobject_cast<const QAbstractScrollArea*>(&parent) || qobject_cast<const QComboBox*>(&parent)
            || qobject_cast<const QAbstractSpinBox*>(&parent))
            return;
        if (const auto* tabs = qobject_cast<const QTabWidget*>(&parent)) {
            for (int i = 0; i < tabs->count(); ++i) {
                if (!tabs->tabBar()->rect().contains(tabs->tabBar()->tabRect(i)))
                    fault(parent, QStringLiteral("tab %1 is not shown whole").arg(tabs->tabText(i)));
            }
        }
        QList<const QWidget*> shown;
        for (const QObject* child : parent.children()) {
            const auto* w = qobject_cast<const QWidget*>(child);
            if (w && !w->isWindow() && w->isVisible())
                shown << w;
        }
        for (int i = 0; i < shown.size(); ++i) {
            const QWidget& w = *shown[i];
            if (!parent.rect().contains(w.geometry()))
                fault(w, QStringLiteral("sticks out of %1").arg(nameOf(parent)));
            for (int j = i + 1; j < shown.size(); ++j) {
                if (w.geometry().intersects(shown[j]->geometry()))
                    fault(w, QStringLiteral("overlaps %1").arg(nameOf(*shown[j])));
            }
            checkCaption(w);
            check(w);
        }
    }

    QStringList faults;

private:
    void checkCaption(const QWidget& w)
    {
        QString text;
        int room = w.width();
        if (const auto* label = qobject_cast<const QLabel*>(&w)) {
            if (label->wordWrap())
                return;
            text = label->text();
            room = label->contentsRect().width() - 2 * label->margin();
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(&w)) {
            text = button->text();
            if (qobject_cast<const QCheckBox*>(&w) || qobject_cast<const QRadioButton*>(&w)) {
                const bool radio = qobject_cast<const QRadioButton*>(&w);
                room -= w.style()->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth,
                                               nullptr, &w)
                    + w.style()->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing
                                                   : QStyle::PM_CheckBoxLabelSpacing,
                                             nullptr, &w);
            }
        } else if (const auto* frame = qobject_cast<const QGroupBox*>(&w)) {
            text = frame->title();
        } else {
            return;
        }
        if (text.isEmpty())
            return;
        if (room < textWidth(w, text))
            fault(w, QStringLiteral("is %1 wide for a caption of %2").arg(room).arg(textWidth(w, text)));
        if (!qobject_cast<const QGroupBox*>(&w) && w.height() < w.fontMetrics().height() * lineCount(text))
            fault(w, QStringLiteral("is %1 high for %2 lines of %3").arg(w.height()).arg(lineCount(text)).arg(w.fontMetrics().height()));
    }

    QString nameOf(const QWidget& w) const
    {
        return w.objectName().isEmpty() ? QString::fromLatin1(w.metaObject()->className()) : w.objectName();
    }

    void fault(const QWidget& w, const QString& what)
    {
        faults << nameOf(w) + QLatin1Char(' ') + what;
    }
};

} // namespace

class Form1LayoutTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void everyPageFitsAtEveryFontAndScale_data();
    void everyPageFitsAtEveryFontAndScale();

private:
    QFont m_font;
};

void Form1LayoutTest::initTestCase()
{
    ui::configureApplication();
    m_font = QApplication::font();
}

void Form1LayoutTest::cleanup()
{
    QApplication::setFont(m_font);
}

void Form1LayoutTest::everyPageFitsAtEveryFontAndScale_data()
{
    QTest::addColumn<double>("points");
    QTest::addColumn<double>("scale");
    for (const double points : {9.0, 10.0, 12.0}) {
        for (const double scale : {1.0, 1.5, 2.0})
            QTest::addRow("%g pt at %g", points, scale) << points << scale;
    }
}

void Form1LayoutTest::everyPageFitsAtEveryFontAndScale()
{
    QFETCH(double, points);
    QFETCH(double, scale);
    QFont font = m_font;
    font.setPointSizeF(points * scale);
    QApplication::setFont(font);

    testsupport::useFreshStateHome();
    testsupport::TempFolder folder;
    folder.write("IMG_0001 旅行.JPG", "a");
    folder.write("说明.txt", "b");
    testsupport::RecordingPresenter messages;
    ui::Form1 form(folder.path(), platform::systemFileSystem(), &messages);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    // The window is never larger than the screen; what doesn't fit scrolls.
    const QSize screen = form.screen()->availableGeometry().size();
    QVERIFY2(form.width() <= screen.width() && form.height() <= screen.height(),
             qPrintable(QStringLiteral("%1x%2").arg(form.width()).arg(form.height())));

    auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    QVERIFY(tabs);
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QApplication::processEvents();
        LayoutChecker checker;
        checker.check(form);
        checker.faults.removeDuplicates();
        QVERIFY2(checker.faults.isEmpty(),
                 qPrintable(QStringLiteral("page %1: ").arg(page) + checker.faults.mid(0, 12).join(QStringLiteral("; "))));
    }
}

QTEST_MAIN(Form1LayoutTest)
#include "form1_layout_test.moc"
