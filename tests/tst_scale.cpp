// SPDX-License-Identifier: GPL-3.0-or-later
// Display scales: the stealth line keyed at device resolution, the ticker's artwork drawn
// for the pixel ratio, the chart enlarged smoothly.
#include "charts/chartview.h"
#include "stealth/colourkey.h"
#include "stealth/form4.h"
#include "ticker/artwork.h"

#include <QApplication>
#include <QBuffer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <functional>

using namespace tarnwel;

namespace {

const QRgb kBlue = qRgb(0, 0, 255);
const QList<qreal> kRatios{1, 1.25, 1.5, 1.75, 2, 3};

int colourDistance(QRgb a, QRgb b) {
    return qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
}

QRect inkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & RGB_MASK) != (kBlue & RGB_MASK))
                box |= QRect(x, y, 1, 1);
    return box;
}

// The mean difference per channel of two images of one size, 0 … 255.
double meanDifference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row);
            const QRgb q = y.pixel(col, row);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) +
                   qAbs(qBlue(p) - qBlue(q)) + qAbs(qAlpha(p) - qAlpha(q));
        }
    return sum / (4.0 * x.width() * x.height());
}

using Picture = std::function<QPixmap(qreal)>;

QImage reference(const QString& name) {
    return QImage(QStringLiteral(REFERENCE_DIR "/") + name + QStringLiteral(".png"))
        .convertToFormat(QImage::Format_ARGB32);
}

} // namespace

Q_DECLARE_METATYPE(Picture)

class TestScale : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keyToLogicalGrid_data();
    void keyToLogicalGrid();
    void stealthLineAtEveryRatio_data();
    void stealthLineAtEveryRatio();
    void artworkUnchangedAtOne_data();
    void artworkUnchangedAtOne();
    void artworkDrawnForTheRatio_data();
    void artworkDrawnForTheRatio();
    void chartEnlargedSmoothly();
};

void TestScale::keyToLogicalGrid_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QSize>("logicalSize");
    QTest::addColumn<QList<QPoint>>("inkDevice");
    QTest::addColumn<QRegion>("shape");

    QTest::newRow("1: the ink itself")
        << 1.0 << QSize(4, 2) << QList<QPoint>{{0, 0}, {1, 0}, {3, 1}}
        << (QRegion(0, 0, 2, 1) + QRegion(3, 1, 1, 1));
    // One device pixel keeps the whole logical pixel its centre lies in.
    QTest::newRow("2: one device pixel")
        << 2.0 << QSize(4, 2) << QList<QPoint>{{3, 1}} << QRegion(1, 0, 1, 1);
    // A one-pixel stroke on the border of two logical pixels survives.
    QTest::newRow("1.5: thin stroke")
        << 1.5 << QSize(4, 2) << QList<QPoint>{{1, 0}, {1, 1}, {1, 2}} << QRegion(1, 0, 1, 2);
    QTest::newRow("1.5: stroke at 2")
        << 1.5 << QSize(4, 2) << QList<QPoint>{{2, 0}} << QRegion(1, 0, 1, 1);
    QTest::newRow("1.25: last column")
        << 1.25 << QSize(4, 2) << QList<QPoint>{{4, 1}} << QRegion(3, 1, 1, 1);
}

void TestScale::keyToLogicalGrid() {
    QFETCH(qreal, ratio);
    QFETCH(QSize, logicalSize);
    QFETCH(QList<QPoint>, inkDevice);
    QFETCH(QRegion, shape);

    QImage rendered(logicalSize * ratio, QImage::Format_RGB32);
    rendered.fill(kBlue);
    for (const QPoint& p : inkDevice)
        rendered.setPixel(p, qRgb(0, 0, 0));
    rendered.setDevicePixelRatio(ratio);

    const KeyedLine keyed = tarnwel::keyToLogicalGrid(rendered, logicalSize, qRgb(0, 0, 0));
    QCOMPARE(keyed.shape, shape);
    QCOMPARE(keyed.pixels.size(), rendered.size());
    QCOMPARE(keyed.pixels.devicePixelRatio(), ratio);
    const QRegion device = deviceShape(shape, ratio);
    for (int y = 0; y < keyed.pixels.height(); ++y)
        for (int x = 0; x < keyed.pixels.width(); ++x)
            QCOMPARE(keyed.pixels.pixel(x, y),
                     device.contains(QPoint(x, y)) ? qRgb(0, 0, 0) : kBlue);
    if (ratio == 1)
        QCOMPARE(keyed.pixels, rendered);
}

void TestScale::stealthLineAtEveryRatio_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRgb>("schemeText"); // the colour scheme's text; 0: the default's
    for (const qreal ratio : kRatios) {
        QTest::addRow("%g, first caption", ratio) << ratio << QString() << QRgb(0);
        QTest::addRow("%g, quote", ratio) << ratio << QStringLiteral("600028(5.24)") << QRgb(0);
    }
    // A scheme whose text is the key itself must not key the whole line away.
    QTest::newRow("1.5, scheme text of the key colour")
        << 1.5 << QStringLiteral("600028(5.24)") << kBlue;
}

void TestScale::stealthLineAtEveryRatio() {
    QFETCH(qreal, ratio);
    QFETCH(QString, caption);
    QFETCH(QRgb, schemeText);

    const QPalette defaultScheme = QApplication::palette();
    const auto restore = qScopeGuard([&defaultScheme] { QApplication::setPalette(defaultScheme); });
    if (schemeText != 0) {
        QPalette scheme = defaultScheme;
        for (const QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            scheme.setColor(role, QColor::fromRgb(schemeText));
        QApplication::setPalette(scheme);
    }
    Form4 window;
    Form4* line = &window;
    if (!caption.isEmpty())
        line->setQuoteTexts(caption, QString());
    const QImage rendered = line->renderLine(ratio);
    const KeyedLine keyed = line->keyedLine(ratio);
    const QImage& pixels = keyed.pixels;
    const QRgb ink = line->palette().color(QPalette::WindowText).rgb();

    // The backing store's size at that ratio.
    QCOMPARE(pixels.size(), QSize(qRound(115 * ratio), qRound(19 * ratio)));
    QCOMPARE(pixels.devicePixelRatio(), ratio);

    // What the shape lets through is ink, all of it; the rest is the key. Nothing in
    // between: no near-blue pixel that would survive the key as a fringe.
    const QRegion device = deviceShape(keyed.shape, ratio);
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x) {
            const QRgb pixel = pixels.pixel(x, y);
            QVERIFY2(pixel == kBlue || colourDistance(pixel, kBlue) > 96,
                     qPrintable(QStringLiteral("near-blue at %1,%2").arg(x).arg(y)));
            QVERIFY2((pixel != kBlue) == device.contains(QPoint(x, y)),
                     qPrintable(QStringLiteral("shape and ink differ at %1,%2").arg(x).arg(y)));
            if (pixel != kBlue)
                QCOMPARE(pixel, ink);
            // No stroke of the device rendering is lost to the grid.
            if ((rendered.pixel(x, y) & RGB_MASK) != (kBlue & RGB_MASK))
                QVERIFY(keyed.shape.contains(QPoint(int(std::floor((x + 0.5) / ratio)),
                                                    int(std::floor((y + 0.5) / ratio)))));
        }

    // The glyphs scale with the display; in logical pixels they keep their place, with
    // "◆" and the text apart.
    const QRect box = inkBox(pixels);
    const QRect base = inkBox(line->keyedLine(1).pixels);
    QVERIFY2(qAbs(box.width() - base.width() * ratio) <= 2 * ratio + 2,
             qPrintable(QStringLiteral("%1 vs %2").arg(box.width()).arg(base.width())));
    QVERIFY2(qAbs(box.height() - base.height() * ratio) <= 2 * ratio + 2,
             qPrintable(QStringLiteral("%1 vs %2").arg(box.height()).arg(base.height())));
    const QWidget* diamond = line->findChild<QWidget*>(QStringLiteral("Label2"));
    const QWidget* text = line->findChild<QWidget*>(QStringLiteral("Label1"));
    QVERIFY(keyed.shape.intersects(diamond->geometry()));
    QVERIFY(keyed.shape.intersects(text->geometry()));
    const int gapLeft = diamond->geometry().right() + 2;
    QVERIFY(!keyed.shape.intersects(QRect(gapLeft, 0, text->x() - gapLeft, 19)));
}

void TestScale::artworkUnchangedAtOne_data() {
    QTest::addColumn<Picture>("picture");
    QTest::addColumn<QString>("name");
    QTest::newRow("background") << Picture(artwork::tickerBackground)
                                << QStringLiteral("ticker-background");
    QTest::newRow("house") << Picture(artwork::houseIcon) << QStringLiteral("house");
    QTest::newRow("menu panel") << Picture(artwork::menuPanel) << QStringLiteral("menu-panel");
}

void TestScale::artworkUnchangedAtOne() {
    QFETCH(Picture, picture);
    QFETCH(QString, name);
    const QPixmap pixmap = picture(1);
    QCOMPARE(pixmap.devicePixelRatio(), 1.0);
    QCOMPARE(pixmap.toImage().convertToFormat(QImage::Format_ARGB32), reference(name));
}

void TestScale::artworkDrawnForTheRatio_data() {
    QTest::addColumn<Picture>("picture");
    QTest::addColumn<QString>("name");
    QTest::addColumn<qreal>("ratio");
    for (const qreal ratio : kRatios.mid(1)) {
        QTest::addRow("background %g", ratio)
            << Picture(artwork::tickerBackground) << QStringLiteral("ticker-background") << ratio;
        QTest::addRow("house %g", ratio)
            << Picture(artwork::houseIcon) << QStringLiteral("house") << ratio;
        QTest::addRow("menu panel %g", ratio)
            << Picture(artwork::menuPanel) << QStringLiteral("menu-panel") << ratio;
    }
}

void TestScale::artworkDrawnForTheRatio() {
    QFETCH(Picture, picture);
    QFETCH(QString, name);
    QFETCH(qreal, ratio);

    const QImage one = reference(name);
    const QPixmap pixmap = picture(ratio);
    // Every device pixel of the logical size, at that ratio.
    QCOMPARE(pixmap.devicePixelRatio(), ratio);
    QCOMPARE(pixmap.size(),
             QSize(int(std::ceil(one.width() * ratio)), int(std::ceil(one.height() * ratio))));
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);

    // The same picture: brought back to 1× it matches the reference closely...
    const QImage down = image.copy(0, 0, qRound(one.width() * ratio), qRound(one.height() * ratio))
                            .scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QVERIFY2(meanDifference(down, one) < 6, qPrintable(QString::number(meanDifference(down, one))));
    // ... but drawn at the ratio, not the 1× bitmap enlarged.
    if (ratio == std::floor(ratio) && name != QStringLiteral("menu-panel")) {
        // Where the drawing is: the gear and arrow of the background, the whole house.
        const QRect detail = name == QStringLiteral("house") ? one.rect() : QRect(224, 2, 26, 14);
        const QImage enlarged = one.copy(detail).scaled(
            detail.size() * ratio, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        const QImage drawn = image.copy(QRect(detail.topLeft() * ratio, detail.size() * ratio));
        QVERIFY2(meanDifference(enlarged, drawn) > 2,
                 qPrintable(QString::number(meanDifference(enlarged, drawn))));
    }
    // Sharp edges stay on whole logical pixels: the bands and the panel's frame.
    const auto at = [&](qreal x, qreal y) {
        return image.pixel(int(std::floor(x * ratio)), int(std::floor(y * ratio))) & RGB_MASK;
    };
    if (name == QStringLiteral("ticker-background")) {
        QCOMPARE(at(10, 39.9), 0x8a8a8au);
        QCOMPARE(at(10, 40.5), 0xb0b0b0u);
        QCOMPARE(at(10, 41.5), 0x141414u);
        QCOMPARE(at(10, 99.9), 0x3a3a3au);
        QCOMPARE(image.pixel(image.width() - 1, image.height() - 1) & RGB_MASK, 0x3a3a3au);
    } else if (name == QStringLiteral("menu-panel")) {
        QCOMPARE(at(0.5, 45), 0xa0a0a0u);
        QCOMPARE(at(1.5, 45), 0xffffffu);
        QCOMPARE(at(115.5, 45), 0xa0a0a0u);
    }
}

void TestScale::chartEnlargedSmoothly() {
    // A 4 × 2 chart of two colours, black on the left half, white on the right.
    QImage chart(4, 2, QImage::Format_RGB32);
    chart.fill(Qt::white);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            chart.setPixel(x, y, qRgb(0, 0, 0));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    chart.save(&buffer, "PNG");
    ChartView view;
    view.resize(40, 30);
    QSignalSpy finished(&view, &ChartView::loadFinished);
    view.showPicture(png);
    QCOMPARE(finished.first().first().toBool(), true);

    const int origin = ChartView::kBorder + ChartView::kPageMargin;
    for (const qreal ratio : {1.0, 2.0}) {
        QImage page(view.size() * ratio, QImage::Format_RGB32);
        page.setDevicePixelRatio(ratio);
        view.render(&page);
        const auto at = [&](qreal x, qreal y) {
            return page.pixel(int(std::floor(x * ratio)), int(std::floor(y * ratio))) & RGB_MASK;
        };
        // The same place and size in logical pixels as at 100 %.
        QCOMPARE(at(origin + 0.1, origin + 0.1), 0u);
        QCOMPARE(at(origin - 0.1, origin + 0.1), 0xffffffu);
        QCOMPARE(at(origin + 3.9, origin + 1.9), 0xffffffu);
        QCOMPARE(at(origin + 0.5, origin + 2.1), 0xffffffu); // below the chart: the page
        // Enlarged smoothly: the edge between the halves blends instead of stepping.
        if (ratio > 1) {
            const QRgb edge = at(origin + 1.9, origin + 0.5);
            QVERIFY2(qRed(edge) > 0 && qRed(edge) < 255, qPrintable(QString::number(edge, 16)));
        }
    }
}

QTEST_MAIN(TestScale)
#include "tst_scale.moc"
