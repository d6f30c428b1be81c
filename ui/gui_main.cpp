#include "app/entry.h"
#include "app/main_model.h"
#include "model/item.h"

#include <QApplication>
#include <QCheckBox>
#include <QMainWindow>
#include <QMessageBox>
#include <QScreen>
#include <QTreeWidget>

namespace driftscope {
namespace {

// The Qt face of the user-interaction port; owns the application object.
class TQtUserInterface final : public IUserInterface {
public:
    TQtUserInterface(int& argc, char** argv) : app_(argc, argv) {
        QApplication::setApplicationName("Driftscope");
    }

    TMessageAnswer ShowMessage(const TMessageRequest& request) override {
        static const char* const headers[] = {"Warning", "Error", "Information", "Confirmation"};
        static const QMessageBox::Icon icons[] = {QMessageBox::Warning, QMessageBox::Critical,
                                                  QMessageBox::Information, QMessageBox::Question};
        const auto kind = static_cast<std::size_t>(request.kind);
        QMessageBox box(icons[kind], headers[kind], QString::fromStdString(request.text));
        struct TButton {
            int flag;
            QMessageBox::StandardButton button;
            int result;
        };
        const TButton buttons[] = {{mbYes, QMessageBox::Yes, mrYes},
                                   {mbNo, QMessageBox::No, mrNo},
                                   {mbOK, QMessageBox::Ok, mrOk},
                                   {mbCancel, QMessageBox::Cancel, mrCancel}};
        for (const TButton& b : buttons) {
            if ((request.buttons & b.flag) != 0) {
                box.addButton(b.button);
                if (b.result == request.defaultResult) {
                    box.setDefaultButton(b.button);
                }
            }
        }
        QCheckBox* check = nullptr;
        if (request.promptNumber != 0) {
            check = new QCheckBox("Do not show this message again", &box);
            box.setCheckBox(check);
        }
        const int pressed = box.exec();
        TMessageAnswer answer{request.defaultResult, check != nullptr && check->isChecked()};
        for (const TButton& b : buttons) {
            if (pressed == b.button) {
                answer.result = b.result;
            }
        }
        return answer;
    }

    void ShowError(const TErrorReport& report) override {
        QMessageBox box(QMessageBox::Critical, "Error", QString::fromStdString(report.message));
        box.setDetailedText(QString::fromStdString("Exception Class: " + report.className));
        box.exec();
    }

    void ProcessEvents() override { QCoreApplication::processEvents(); }

    bool ScreenSize(int& width, int& height) const override {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen == nullptr) {
            return false;
        }
        width = screen->size().width();
        height = screen->size().height();
        return true;
    }

private:
    QApplication app_;
};

} // namespace

std::unique_ptr<IUserInterface> CreateInteractiveUserInterface(int& argc, char** argv) {
    return std::make_unique<TQtUserInterface>(argc, argv);
}

int RunInteractive(IUserInterface&, TMainModel& model) {
    QMainWindow window;
    window.setWindowTitle("Driftscope");
    // The navigation tree: general items in catalogue order.
    auto* tree = new QTreeWidget(&window);
    tree->setHeaderHidden(true);
    TItemManager& catalogue = model.Catalogue();
    for (int i = 0; i < catalogue.Count(); ++i) {
        new QTreeWidgetItem(tree, QStringList(QString::fromStdString(catalogue.ItemAt(i)->name)));
    }
    window.setCentralWidget(tree);
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}

} // namespace driftscope
