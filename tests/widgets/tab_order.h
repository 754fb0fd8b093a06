// Where Tab goes: the widgets that take the focus by Tab after a given one, in order.
#pragma once

#include <QWidget>

#include <cstddef>
#include <vector>

namespace velacor::widgets::testing {

inline std::vector<QWidget*> TabOrderAfter(QWidget* from, std::size_t count) {
    std::vector<QWidget*> order;
    for (QWidget* w = from->nextInFocusChain(); w != from && order.size() < count;
         w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) != 0)
            order.push_back(w);
    }
    return order;
}

}  // namespace velacor::widgets::testing
