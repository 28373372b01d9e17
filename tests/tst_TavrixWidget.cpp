#include "TavrixWidget.h"

#include "TestMain.h"

#include <QImage>

using namespace Tavrix::UI;

namespace {

QPixmap Solid(const QSize& size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::red);
    return pixmap;
}

// The rectangle the widget painted red on a white ground.
QRect PaintedArea(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    QRect painted;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) < 50)
                painted |= QRect(x, y, 1, 1);
    return painted;
}

} // namespace

class TestTavrixWidget : public QObject
{
    Q_OBJECT

private slots:
    void pixmapKeepsItsAspectRatio_data()
    {
        QTest::addColumn<QSize>("widgetSize");
        QTest::addColumn<int>("margin");
        QTest::addColumn<QSize>("pixmapSize");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("wide widget, square picture") << QSize(200, 100) << 0 << QSize(50, 50) << QRect(50, 0, 100, 100);
        QTest::newRow("tall widget, wide picture") << QSize(100, 200) << 0 << QSize(40, 20) << QRect(0, 75, 100, 50);
        QTest::newRow("larger picture shrinks") << QSize(60, 60) << 0 << QSize(300, 150) << QRect(0, 15, 60, 30);
        QTest::newRow("inside the margins") << QSize(120, 120) << 10 << QSize(10, 20) << QRect(35, 10, 50, 100);
        QTest::newRow("no picture") << QSize(50, 50) << 0 << QSize() << QRect();
    }

    void pixmapKeepsItsAspectRatio()
    {
        QFETCH(QSize, widgetSize);
        QFETCH(int, margin);
        QFETCH(QSize, pixmapSize);
        QFETCH(QRect, expected);

        TPixmapWidget widget;
        widget.setContentsMargins(margin, margin, margin, margin);
        widget.resize(widgetSize);
        // The picture before is replaced, also by none.
        widget.setPixmap(Solid(QSize(10, 10)));
        widget.setPixmap(pixmapSize.isEmpty() ? QPixmap() : Solid(pixmapSize));
        QCOMPARE(widget.PixmapRect(), expected);
        QCOMPARE(PaintedArea(widget), expected);
    }

    void sizeHintFollowsThePixmap()
    {
        TPixmapWidget widget;
        QCOMPARE(widget.sizeHint(), QSize(32, 32));
        QCOMPARE(widget.minimumSizeHint(), QSize(16, 16));

        widget.setPixmap(Solid(QSize(64, 48)));
        QCOMPARE(widget.sizeHint(), QSize(64, 48));
        QCOMPARE(widget.minimumSizeHint(), QSize(16, 16));

        // A high-resolution picture is as large as it looks, not as its pixels.
        QPixmap sharp = Solid(QSize(80, 40));
        sharp.setDevicePixelRatio(2.0);
        widget.setPixmap(sharp);
        QCOMPARE(widget.sizeHint(), QSize(40, 20));

        widget.setContentsMargins(2, 3, 4, 5);
        widget.setPixmap(Solid(QSize(8, 8)));
        QCOMPARE(widget.sizeHint(), QSize(14, 16));
        QCOMPARE(widget.minimumSizeHint(), QSize(14, 16));
    }
};

TAVRIX_TEST_MAIN(TestTavrixWidget)
#include "tst_TavrixWidget.moc"
