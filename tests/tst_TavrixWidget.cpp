#include "TavrixWidget.h"

#include "TestMain.h"

#include <QImage>
#include <QLabel>
#include <QPainter>

using namespace Tavrix::UI;
using Tavrix::UI::LayoutHelpers::Alignment;
using Tavrix::UI::LayoutHelpers::CellModifier;

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

// Where the grid holds the widget: "row,column rowSpan x columnSpan @alignment".
QString Cell(TGridLayout& grid, QWidget* widget)
{
    const int index = grid.indexOf(widget);
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid.getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    return QStringLiteral("%1,%2 %3x%4 @%5").arg(row).arg(column).arg(rowSpan).arg(columnSpan)
        .arg(int(grid.itemAt(index)->alignment()), 0, 16);
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

    void addRowAppendsOneRowLeftToRight()
    {
        QWidget owner;
        auto* grid = new TGridLayout(&owner);
        QCOMPARE(owner.layout(), grid);
        QList<QLabel*> labels;
        for (int i = 0; i < 6; ++i)
            labels << new QLabel(&owner);

        QCOMPARE(grid->addRow({{labels[0], Alignment::LeftVCenter}, {labels[1], Alignment::LeftTop}}, 0), 0);
        // A row of empty cells still counts as a row.
        QCOMPARE(grid->addRow({CellModifier::EmptyCell, CellModifier::EmptyCell}, 0), 1);
        QCOMPARE(grid->addRow({CellModifier::EmptyCell, {labels[2], Alignment::Center}}, 2), 2);
        // Widgets added the usual way are not overwritten.
        grid->addWidget(labels[3], 3, 0);
        QCOMPARE(grid->addRow({{labels[4], Alignment::None}}, 0), 4);
        // A widget reaches over the empty cells after it: an error line under two columns.
        QCOMPARE(grid->addRow({{labels[5], Alignment::LeftTop}, CellModifier::EmptyCell}, 0), 5);

        QStringList cells;
        for (QLabel* label : labels)
            cells << Cell(*grid, label);
        QCOMPARE(cells, QStringList({"0,0 1x1 @81", "0,1 1x1 @21", "2,1 1x1 @84", "3,0 1x1 @0", "4,0 1x1 @0",
                                     "5,0 1x2 @21"}));
        // Empty cells hold nothing.
        QCOMPARE(grid->count(), labels.size());
        QCOMPARE(grid->rowStretch(0), 0);
        QCOMPARE(grid->rowStretch(2), 2);
    }
};

TAVRIX_TEST_MAIN(TestTavrixWidget)
#include "tst_TavrixWidget.moc"
