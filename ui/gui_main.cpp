#include "app/entry.h"
#include "model/data_module.h"
#include "model/item.h"

#include <QApplication>
#include <QMainWindow>
#include <QTreeWidget>

namespace driftscope {

int RunInteractive(int argc, char** argv, TItemManager& catalogue, TdmMain&) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Driftscope");
    QMainWindow window;
    window.setWindowTitle("Driftscope");
    // The navigation tree: general items in catalogue order.
    auto* tree = new QTreeWidget(&window);
    tree->setHeaderHidden(true);
    for (int i = 0; i < catalogue.Count(); ++i) {
        new QTreeWidgetItem(tree, QStringList(QString::fromStdString(catalogue.ItemAt(i)->name)));
    }
    window.setCentralWidget(tree);
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}

} // namespace driftscope
