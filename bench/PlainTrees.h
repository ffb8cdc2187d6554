#pragma once
// The floor the window is measured against: three plain QStandardItemModels
// of the benchmark designs' shape (`tops` top-level rows, each with 33
// children of 29 children), each in a plain QTreeView with uniform row
// heights, side by side as the window shows its three columns.

#include <QHBoxLayout>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>
#include <QWidget>

#include <array>
#include <memory>

namespace bench {

struct PlainTrees {
    QWidget window;
    std::array<std::unique_ptr<QStandardItemModel>, 3> models;
    std::array<QTreeView*, 3> views{};

    explicit PlainTrees(int tops = 100)
    {
        auto* layout = new QHBoxLayout(&window);
        for (std::size_t t = 0; t < 3; ++t) {
            models[t] = std::make_unique<QStandardItemModel>();
            QStandardItem* root = models[t]->invisibleRootItem();
            for (int a = 0; a < tops; ++a) {
                auto* top = new QStandardItem(QStringLiteral("%1 Requirement for the pump assembly").arg(a + 1));
                for (int b = 0; b < 33; ++b) {
                    auto* mid = new QStandardItem(QStringLiteral("%1.%2 Parameter of the motor housing").arg(a + 1).arg(b + 1));
                    QList<QStandardItem*> leaves;
                    for (int c = 0; c < 29; ++c)
                        leaves.push_back(new QStandardItem(QStringLiteral("%1.%2.%3 Process variable").arg(a + 1).arg(b + 1).arg(c + 1)));
                    mid->appendRows(leaves);
                    top->appendRow(mid);
                }
                root->appendRow(top);
            }
            views[t] = new QTreeView;
            views[t]->setUniformRowHeights(true);
            views[t]->setHeaderHidden(true);
            views[t]->setModel(models[t].get());
            layout->addWidget(views[t]);
        }
        window.resize(1200, 800);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
    }

    void repaint()
    {
        for (QTreeView* v : views)
            v->viewport()->repaint();
    }
};

} // namespace bench
