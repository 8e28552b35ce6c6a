// pixoria-tool: the program's own work without its windows.
#include "tools/commands.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return tool::run(arguments, stdout, stderr);
}
