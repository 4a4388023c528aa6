#pragma once

#include <QLayout>
#include <QList>
#include <QStyle>
#include <QWidget>

// The switches, left to right, in as many rows as the width needs: one at the window's
// natural width. The rows stand in the middle of the height they are given.
class FlowLayout final : public QLayout {
public:
    explicit FlowLayout(QWidget* parent) : QLayout(parent) {}
    ~FlowLayout() override {
        while (QLayoutItem* item = takeAt(0))
            delete item;
    }

    void addItem(QLayoutItem* item) override { m_items.append(item); }
    int count() const override { return int(m_items.size()); }
    QLayoutItem* itemAt(int index) const override { return m_items.value(index); }
    QLayoutItem* takeAt(int index) override {
        return index >= 0 && index < m_items.size() ? m_items.takeAt(index) : nullptr;
    }
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return arrange(QRect(0, 0, width, 0), false); }
    QSize sizeHint() const override {
        QSize row(0, 0);
        for (const QLayoutItem* item : m_items) {
            if (item->isEmpty())
                continue;
            const QSize hint = item->sizeHint();
            row.rwidth() += (row.width() > 0 ? gapBetween(Qt::Horizontal) : 0) + hint.width();
            row.rheight() = qMax(row.height(), hint.height());
        }
        return row.grownBy(contentsMargins());
    }
    QSize minimumSize() const override {
        QSize widest(0, 0);
        for (const QLayoutItem* item : m_items)
            if (!item->isEmpty())
                widest = widest.expandedTo(item->minimumSize());
        return widest.grownBy(contentsMargins());
    }
    void setGeometry(const QRect& rect) override {
        QLayout::setGeometry(rect);
        arrange(rect, true);
    }

private:
    int gapBetween(Qt::Orientation orientation) const {
        const QWidget* parent = parentWidget();
        return parent ? parent->style()->pixelMetric(orientation == Qt::Horizontal
                                                         ? QStyle::PM_LayoutHorizontalSpacing
                                                         : QStyle::PM_LayoutVerticalSpacing,
                                                     nullptr, parent)
                      : 6;
    }
    // The height the items take in `rect`'s width; with `place`, puts them there.
    int arrange(const QRect& rect, bool place) const {
        const QRect area = rect.marginsRemoved(contentsMargins());
        QList<QList<std::pair<QLayoutItem*, QSize>>> rows(1);
        int x = 0;
        for (QLayoutItem* item : m_items) {
            if (item->isEmpty())
                continue;
            const QSize hint = item->sizeHint();
            if (x > 0 && x + gapBetween(Qt::Horizontal) + hint.width() > area.width()) {
                rows.emplace_back();
                x = 0;
            }
            x += (x > 0 ? gapBetween(Qt::Horizontal) : 0) + hint.width();
            rows.back().append({item, hint});
        }
        QList<int> heights;
        int total = 0;
        for (const auto& row : rows) {
            int height = 0;
            for (const auto& [item, hint] : row)
                height = qMax(height, hint.height());
            heights.append(height);
            total += height + (total > 0 ? gapBetween(Qt::Vertical) : 0);
        }
        if (place) {
            int y = area.top() + qMax(0, (area.height() - total) / 2);
            for (qsizetype r = 0; r < rows.size(); ++r) {
                int left = area.left();
                for (const auto& [item, hint] : rows[r]) {
                    item->setGeometry(
                        QRect(QPoint(left, y + (heights[r] - hint.height()) / 2),
                              hint.boundedTo(QSize(area.right() - left + 1, hint.height()))));
                    left += hint.width() + gapBetween(Qt::Horizontal);
                }
                y += heights[r] + gapBetween(Qt::Vertical);
            }
        }
        const QMargins margins = contentsMargins();
        return total + margins.top() + margins.bottom();
    }

    QList<QLayoutItem*> m_items;
};
