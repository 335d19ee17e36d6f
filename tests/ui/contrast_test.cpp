#include "ui/contrast.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

#include <memory>

namespace {

using ui::darkFusionPalette;

QPalette lightFusionPalette()
{
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    return fusion->standardPalette();
}

// Whether colour still reads as a red: red well above green and blue, which stay alike.
bool isRed(const QColor& colour)
{
    return colour.red() >= colour.green() + 48 && colour.green() == colour.blue();
}

} // namespace

class ContrastTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void redReadsOnEverySurface_data();
    void redReadsOnEverySurface();
    void redReadsOnAnyBackground();
};

void ContrastTest::redReadsOnEverySurface_data()
{
    QTest::addColumn<QPalette>("palette");
    QTest::addColumn<bool>("onBase"); // a list's rows rather than a page
    QTest::addColumn<bool>("keepsItsRed"); // #C00000 as it is
    QTest::newRow("light page") << lightFusionPalette() << false << true;
    QTest::newRow("light list") << lightFusionPalette() << true << true;
    QTest::newRow("dark page") << darkFusionPalette() << false << false;
    QTest::newRow("dark list") << darkFusionPalette() << true << false;
}

void ContrastTest::redReadsOnEverySurface()
{
    QFETCH(QPalette, palette);
    QFETCH(bool, onBase);
    QFETCH(bool, keepsItsRed);
    const QColor red = onBase ? ui::readableRedOnBase(palette) : ui::readableRedOnWindow(palette);
    const QList<QColor> backgrounds = onBase
        ? QList<QColor>{palette.color(QPalette::Base), palette.color(QPalette::AlternateBase)}
        : QList<QColor>{palette.color(QPalette::Window), palette.color(QPalette::Button).lighter(104)};
    for (const QColor& background : backgrounds)
        QVERIFY2(ui::contrastRatio(red, background) >= 4.5, qPrintable(red.name() + QLatin1Char('/') + background.name()));
    QVERIFY2(isRed(red), qPrintable(red.name()));
    QCOMPARE(red == QColor(0xC0, 0x00, 0x00), keepsItsRed);
}

void ContrastTest::redReadsOnAnyBackground()
{
    // Any one background, light or dark or in between, gets a red that reads on it.
    QRandomGenerator random(20261208);
    for (int i = 0; i < 2000; ++i) {
        const QColor background = QColor::fromRgb(random.bounded(256), random.bounded(256), random.bounded(256));
        const QColor red = ui::readableRed({background});
        QVERIFY2(ui::contrastRatio(red, background) >= 4.5, qPrintable(red.name() + QLatin1Char('/') + background.name()));
    }
}

QTEST_MAIN(ContrastTest)
#include "contrast_test.moc"
