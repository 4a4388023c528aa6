#pragma once

#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QStyle>

// Reports the press of any mouse button on a heading of a header, as the header's own signals
// (left button only) do not. A press on the edge between two headings only starts resizing a
// column, and is not reported.
class HeadingPress final : public QObject {
    Q_OBJECT

public:
    explicit HeadingPress(QHeaderView* header)
        : QObject(header), m_header(header), m_viewport(header->viewport()) {
        m_viewport->installEventFilter(this);
    }

signals:
    void pressed(int section);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The header is asked nothing before a press: while it is being destroyed, its
        // viewport still sends events of other kinds.
        if (event->type() == QEvent::MouseButtonPress && watched == m_viewport) {
            const int x = static_cast<QMouseEvent*>(event)->position().toPoint().x();
            const int section = m_header->logicalIndexAt(x);
            const int edge =
                m_header->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, m_header);
            const int left = m_header->sectionViewportPosition(section);
            if (section >= 0 && x - left > edge && left + m_header->sectionSize(section) - x > edge)
                emit pressed(section);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QHeaderView* m_header;
    QObject* m_viewport;
};
