// qt-floor: the least a Qt Widgets program does before its window is
// painted (an empty main window, maximised), to time Pixoria's start-up
// against.
#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QScreen>
#include <QStatusBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QMdiArea);
    window.statusBar();
    window.setGeometry(window.screen()->availableGeometry());
    window.showMaximized();
    return QApplication::exec();
}
