#include "TavrixWidget.h"

#include <QPainter>

#include <algorithm>

namespace Tavrix::UI {

TFrame::TFrame(QWidget* parent, Qt::WindowFlags flags)
    : QFrame(parent, flags)
{
}

TFrame::~TFrame() = default;

// ---------------------------------------------------------------------------

namespace {
constexpr int kPlaceholderSide = 32;
constexpr int kMinimumSide = 16;

QSize LogicalSize(const QPixmap& pixmap)
{
    const qreal ratio = pixmap.devicePixelRatio() > 0 ? pixmap.devicePixelRatio() : 1.0;
    return (QSizeF(pixmap.size()) / ratio).toSize();
}

QSize OwnSize(const QPixmap& pixmap)
{
    return pixmap.isNull() ? QSize(kPlaceholderSide, kPlaceholderSide) : LogicalSize(pixmap);
}

QSize PlusMargins(const QSize& size, const QMargins& margins)
{
    return size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}
} // namespace

struct TPixmapWidget::Impl
{
    QPixmap pixmap;
};

TPixmapWidget::TPixmapWidget(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
    , m_impl(std::make_unique<Impl>())
{
}

TPixmapWidget::~TPixmapWidget() = default;

void TPixmapWidget::setPixmap(const QPixmap& pixmap)
{
    const bool sizeChanged = LogicalSize(pixmap) != LogicalSize(m_impl->pixmap);
    m_impl->pixmap = pixmap;
    if (sizeChanged)
        updateGeometry();
    update();
}

QPixmap TPixmapWidget::pixmap() const
{
    return m_impl->pixmap;
}

QSize TPixmapWidget::sizeHint() const
{
    return PlusMargins(OwnSize(m_impl->pixmap), contentsMargins());
}

QSize TPixmapWidget::minimumSizeHint() const
{
    // Any size works since the picture scales; keep it recognisable.
    const QSize smallest = OwnSize(m_impl->pixmap).boundedTo(QSize(kMinimumSide, kMinimumSide));
    return PlusMargins(smallest, contentsMargins());
}

QRect TPixmapWidget::PixmapRect() const
{
    if (m_impl->pixmap.isNull())
        return {};
    const QRect area = contentsRect();
    const QSize fitted = LogicalSize(m_impl->pixmap).scaled(area.size(), Qt::KeepAspectRatio);
    const QPoint offset((area.width() - fitted.width()) / 2, (area.height() - fitted.height()) / 2);
    return QRect(area.topLeft() + offset, fitted);
}

void TPixmapWidget::paintEvent(QPaintEvent* /*event*/)
{
    const QRect target = PixmapRect();
    if (target.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, m_impl->pixmap);
}

// ---------------------------------------------------------------------------

namespace LayoutHelpers {

GridItem::GridItem(QWidget* widget, Alignment alignment)
    : m_widget(widget)
    , m_alignment(alignment)
{
}

GridItem::GridItem(CellModifier /*modifier*/)
{
}

} // namespace LayoutHelpers

struct TGridLayout::Impl
{
    // Rows made by addRow; a row of empty cells holds no item, so
    // QGridLayout::rowCount() alone would not remember it.
    int rows = 0;
};

TGridLayout::TGridLayout(QWidget* owner)
    : QGridLayout(owner)
    , m_impl(std::make_unique<Impl>())
{
}

TGridLayout::~TGridLayout() = default;

int TGridLayout::addRow(std::initializer_list<LayoutHelpers::GridItem> items, int stretch)
{
    const int row = std::max(m_impl->rows, count() > 0 ? rowCount() : 0);
    const LayoutHelpers::GridItem* const begin = items.begin();
    const LayoutHelpers::GridItem* const end = items.end();
    for (const LayoutHelpers::GridItem* item = begin; item != end; ++item)
    {
        if (item->IsEmptyCell())
            continue;
        // A label under a row of fields, for one, gets the width of them all.
        const auto* next = std::find_if(item + 1, end, [](const auto& cell) { return !cell.IsEmptyCell(); });
        addWidget(item->Widget(), row, static_cast<int>(item - begin), 1, static_cast<int>(next - item),
                  item->QtAlignment());
    }
    setRowStretch(row, stretch);
    m_impl->rows = row + 1;
    return row;
}

} // namespace Tavrix::UI
