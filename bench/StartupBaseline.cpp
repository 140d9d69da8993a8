// The yardstick for start-up: about the least a Qt Widgets program can show, an empty dialog
// with one button, started and shown the way the real program shows its main window.

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QVBoxLayout>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QPushButton(QStringLiteral("OK"), &dialog));
    dialog.exec();
    return 0;
}
