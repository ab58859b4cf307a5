#include "gui/skin/TabOrder.h"

#include <QWidget>
#include <algorithm>
#include <tuple>
#include <vector>

namespace talvenix::gui {

namespace {
constexpr int kRowTolerance = 6;  // pixels by which the tops of one row's controls may differ
}

void SetReadingTabOrder(QWidget& window, int titleBarBottom, int columnSplitX) {
    struct Entry {
        QWidget* widget;
        int area;  // 0 left column, 1 the rest, 2 title bar
        int top;
        int left;
    };
    std::vector<Entry> entries;
    for (QWidget* child : window.findChildren<QWidget*>()) {
        // Popups of combo boxes are windows of their own: Tab never reaches into them.
        if ((child->focusPolicy() & Qt::TabFocus) == 0 || child->window() != &window) continue;
        const QRect r(child->mapTo(&window, QPoint(0, 0)), child->size());
        const int area = r.top() < titleBarBottom ? 2 : (r.left() < columnSplitX ? 0 : 1);
        entries.push_back({child, area, r.top(), r.left()});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return std::tie(a.area, a.top, a.left) < std::tie(b.area, b.top, b.left);
    });
    // Rows: a control whose top is close to the row's first one belongs to that row.
    int rowTop = 0;
    int row = -1;
    int area = -1;
    std::vector<std::tuple<int, int, int, QWidget*>> ordered;
    for (const Entry& e : entries) {
        if (e.area != area || e.top - rowTop > kRowTolerance) {
            area = e.area;
            rowTop = e.top;
            ++row;
        }
        ordered.emplace_back(row, e.left, e.top, e.widget);
    }
    std::sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) {
        return std::tie(std::get<0>(a), std::get<1>(a), std::get<2>(a)) <
               std::tie(std::get<0>(b), std::get<1>(b), std::get<2>(b));
    });
    for (std::size_t i = 1; i < ordered.size(); ++i)
        QWidget::setTabOrder(std::get<3>(ordered[i - 1]), std::get<3>(ordered[i]));
}

}  // namespace talvenix::gui
