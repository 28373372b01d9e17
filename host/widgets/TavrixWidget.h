#pragma once

// The host's widget library: a frame type that style sheets can single out,
// a widget that shows a picture without distorting it, and a grid layout that
// is filled one row at a time.

#include <QFrame>
#include <QGridLayout>
#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <initializer_list>
#include <memory>

namespace Tavrix::UI {

class TFrame : public QFrame
{
    Q_OBJECT
public:
    explicit TFrame(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~TFrame() override;

    TFrame(const TFrame&) = delete;
    TFrame& operator=(const TFrame&) = delete;
};

// Paints its pixmap as large as its contents rectangle allows, keeping the
// pixmap's aspect ratio, centred. A style sheet can set it as qproperty-pixmap.
class TPixmapWidget : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QPixmap pixmap READ pixmap WRITE setPixmap)
public:
    explicit TPixmapWidget(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~TPixmapWidget() override;

    TPixmapWidget(const TPixmapWidget&) = delete;
    TPixmapWidget& operator=(const TPixmapWidget&) = delete;

    void setPixmap(const QPixmap& pixmap);
    QPixmap pixmap() const;

    // The pixmap's own size (in device-independent pixels); a small square
    // while there is none.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Where the pixmap is drawn within the widget: empty without a pixmap.
    QRect PixmapRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

namespace LayoutHelpers {

// Qt alignment flags under names that read well in a layout table.
enum class Alignment : int
{
    None = 0,
    Left = Qt::AlignLeft,
    Right = Qt::AlignRight,
    HCenter = Qt::AlignHCenter,
    Top = Qt::AlignTop,
    Bottom = Qt::AlignBottom,
    VCenter = Qt::AlignVCenter,
    Center = Qt::AlignCenter,
    LeftTop = Qt::AlignLeft | Qt::AlignTop,
    LeftBottom = Qt::AlignLeft | Qt::AlignBottom,
    LeftVCenter = Qt::AlignLeft | Qt::AlignVCenter,
    RightVCenter = Qt::AlignRight | Qt::AlignVCenter,
};

// A cell that holds no widget of its own. A widget before it in the row
// reaches over it, as over merged cells; at the start of a row it stays blank.
enum class CellModifier : std::uint8_t
{
    EmptyCell = 1,
};

// One cell of a grid row.
class GridItem
{
public:
    GridItem(QWidget* widget, Alignment alignment);
    GridItem(CellModifier modifier); // NOLINT: implicit, so a modifier stands in a row list as it is

    QWidget* Widget() const { return m_widget; }
    Qt::Alignment QtAlignment() const { return Qt::Alignment(static_cast<int>(m_alignment)); }
    bool IsEmptyCell() const { return m_widget == nullptr; }

private:
    QWidget* m_widget = nullptr;
    Alignment m_alignment = Alignment::None;
};

} // namespace LayoutHelpers

class TGridLayout : public QGridLayout
{
    Q_OBJECT
public:
    explicit TGridLayout(QWidget* owner);
    ~TGridLayout() override;

    TGridLayout(const TGridLayout&) = delete;
    TGridLayout& operator=(const TGridLayout&) = delete;

    // Appends one row below the rows so far, its cells left to right; a
    // widget spans the empty cells that follow it. The stretch is the row's
    // stretch factor (0: the row keeps its size hint). Returns the row's index.
    int addRow(std::initializer_list<LayoutHelpers::GridItem> items, int stretch);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::UI
